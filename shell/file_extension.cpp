#include "file_extension.h"

#include <algorithm>
#include <cctype>

namespace shell {

bool hasExtension(std::string_view fileName, std::string_view extension) {
  return fileName.size() > extension.size() &&
         std::equal(extension.rbegin(), extension.rend(), fileName.rbegin(),
                    [](char lower, char c) {
                      return std::tolower(static_cast<unsigned char>(c)) == lower;
                    });
}

}  // namespace shell
