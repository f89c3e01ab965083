#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace shell {

// Whether a file name ends in `extension` (given in lower case, with its
// dot) in any letter case, with a name before it.
inline bool hasExtension(std::string_view fileName, std::string_view extension) {
  return fileName.size() > extension.size() &&
         std::equal(extension.rbegin(), extension.rend(), fileName.rbegin(),
                    [](char lower, char c) {
                      return std::tolower(static_cast<unsigned char>(c)) == lower;
                    });
}

}  // namespace shell
