#include "file_errors.h"

#include <iostream>

namespace cli {

void reportUnwritable(std::string_view kind, const std::string& path, const std::string& reason) {
  std::cerr << "zentarel3d-cli: cannot write " << kind << " file '" << path << "': " << reason
            << std::endl;
}

}  // namespace cli
