#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>

namespace shell {

// The most bytes a script or a samples file may have. An endless input
// (a device, a pipe that never ends) stops here rather than at the end of
// the memory.
inline constexpr size_t kInputLimit = size_t(64) << 20;

// The whole content of a stream or file, read up to a limit.
struct LimitedRead {
  std::string bytes;
  bool tooLarge = false;  // the input holds more than the limit; `bytes` is empty
  std::string error;      // the system's reason when the input cannot be read
  bool ok() const { return !tooLarge && error.empty(); }
};

LimitedRead readLimited(std::istream& in, size_t limit = kInputLimit);
LimitedRead readFileLimited(const std::filesystem::path& path, size_t limit = kInputLimit);

}  // namespace shell
