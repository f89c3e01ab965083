#include "platform.h"

namespace shell {

std::filesystem::path pathFromUtf8(std::string_view name) {
  // A char8_t source is UTF-8 on every system; char would be the code page.
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

std::string utf8Name(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

}  // namespace shell
