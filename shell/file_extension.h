#pragma once

#include <string_view>

namespace shell {

// Whether the file name ends in `extension` (given in lower case, with its
// dot) in any letter case, after at least one more character.
bool hasExtension(std::string_view fileName, std::string_view extension);

}  // namespace shell
