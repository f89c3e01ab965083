#include "limited_read.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace shell {

namespace {

constexpr size_t kChunk = size_t(1) << 16;

}  // namespace

LimitedRead readLimited(std::istream& in, size_t limit) {
  LimitedRead result;
  std::string chunk(kChunk, '\0');
  // One byte past the limit tells a file of exactly the limit from a larger one.
  while (in && result.bytes.size() <= limit) {
    in.read(chunk.data(), std::streamsize(std::min(kChunk, limit + 1 - result.bytes.size())));
    result.bytes.append(chunk.data(), size_t(in.gcount()));
  }
  if (result.bytes.size() > limit) {
    result.tooLarge = true;
    result.bytes = {};
  } else if (in.bad()) {
    result.error = std::strerror(errno ? errno : EIO);
  }
  return result;
}

LimitedRead readFileLimited(const std::filesystem::path& path, size_t limit) {
  std::error_code failure;
  if (std::filesystem::is_directory(path, failure)) return {{}, false, std::strerror(EISDIR)};
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return {{}, false, std::strerror(errno ? errno : ENOENT)};
  return readLimited(in, limit);
}

}  // namespace shell
