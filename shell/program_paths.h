#pragma once

#include <filesystem>

namespace shell {

// Files that ship beside the executable.
inline constexpr const char* kSamplesFileName = "Zentarel 3d.samples";
inline constexpr const char* kHelpFileName = "Zentarel 3d.html";
inline constexpr const char* kRussianHelpFileName = "Zentarel 3d.ru.html";

// The directory part of a path; "." when it has none.
std::filesystem::path directoryOf(const std::filesystem::path& file);
// The directory of the running executable; "." when the system does not tell.
std::filesystem::path executableDirectory();

std::filesystem::path samplesFilePath();
// The Russian help file when asked for and present, else the English one.
std::filesystem::path helpFilePath(bool russian);

}  // namespace shell
