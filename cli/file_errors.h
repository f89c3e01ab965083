#pragma once

#include <string>
#include <string_view>

namespace cli {

// Prints, on std::cerr, that a file of the kind ("image", "video", "script")
// cannot be written, with its name and the system's reason, as in
// "cannot write image file 'x.png': No space left on device".
void reportUnwritable(std::string_view kind, const std::string& path, const std::string& reason);

}  // namespace cli
