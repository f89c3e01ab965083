#pragma once

#include <filesystem>
#include <string>

namespace cli {

// Replaces the content of an existing file without ever leaving it half
// written: the bytes go to a temporary file in the same directory, which is
// then renamed over the file. The file keeps its permission bits; a symbolic
// link is followed and the file it points to is replaced. False, with the
// system's reason in `error`, when the file cannot be replaced; it is then
// unchanged.
bool replaceFileContent(const std::filesystem::path& path, const std::string& bytes,
                        std::string& error);

}  // namespace cli
