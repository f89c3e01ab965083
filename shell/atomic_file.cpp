#include "atomic_file.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>

#include "platform.h"

namespace shell {

namespace fs = std::filesystem;

namespace {

// Tries this many names before giving up on a folder full of leftovers.
constexpr int kNameAttempts = 100;

std::string reasonOf(int error) {
  return std::strerror(error ? error : EIO);
}

// A link is followed, so that the file it points to is replaced.
fs::path resolvedTarget(const fs::path& path) {
  std::error_code failure;
  if (!fs::is_symlink(path, failure)) return path;
  const fs::path resolved = fs::weakly_canonical(path, failure);
  return failure ? path : resolved;
}

// The replacement takes over the permission bits and, where allowed, the
// owner of the file it replaces; a new file keeps what the umask gave it.
void keepAttributesOf(const fs::path& target, std::FILE* stream, const fs::path& temporary) {
  std::error_code failure;
  const fs::file_status status = fs::status(target, failure);
  if (failure || !fs::is_regular_file(status)) return;
  fs::permissions(temporary, status.permissions(), failure);
  takeOwnerOf(target, stream);
}

}  // namespace

AtomicFile::AtomicFile(fs::path target) : target_(resolvedTarget(target)) {}

AtomicFile::~AtomicFile() {
  discard();
}

bool AtomicFile::open() {
  discard();
  std::error_code failure;
  const fs::file_status status = fs::status(target_, failure);
  if (fs::is_directory(status)) return abandon(EISDIR);
  direct_ = fs::exists(status) && !fs::is_regular_file(status);
  if (direct_) {
    errno = 0;
    stream_ = openFile(target_, "wb");
    return stream_ || abandon(errno);
  }
  const fs::path folder = target_.parent_path().empty() ? fs::path(".") : target_.parent_path();
  std::random_device seed;
  std::minstd_rand generator(seed());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    fs::path name = ".";
    name += target_.filename();
    name += "." + std::to_string(generator() % 1000000) + ".tmp";
    temporary_ = folder / name;
    errno = 0;
    // The name must be new, so that no other file is ever overwritten.
    stream_ = createNewFile(temporary_);
    if (stream_) return true;
    if (errno != EEXIST) break;
  }
  const int reason = errno;
  temporary_.clear();
  return abandon(reason);
}

bool AtomicFile::commit() {
  if (!stream_) return abandon(EBADF);
  errno = 0;
  if (std::fflush(stream_) != 0 || std::ferror(stream_)) return abandon(errno);
  if (direct_) {
    const bool closed = std::fclose(std::exchange(stream_, nullptr)) == 0;
    return closed || abandon(errno);
  }
  if (!syncToDisk(stream_)) return abandon(errno);
  keepAttributesOf(target_, stream_, temporary_);
  const int closed = std::fclose(std::exchange(stream_, nullptr));
  if (closed != 0) return abandon(errno);
  std::error_code failure;
  fs::rename(temporary_, target_, failure);
  if (failure) return abandon(failure.value());
  temporary_.clear();
  return true;
}

bool AtomicFile::abandon(int reason) {
  error_ = reasonOf(reason);
  discard();
  return false;
}

void AtomicFile::discard() {
  if (stream_) std::fclose(std::exchange(stream_, nullptr));
  if (temporary_.empty()) return;
  std::error_code ignored;
  fs::remove(std::exchange(temporary_, {}), ignored);
}

std::string writeFileAtomically(const fs::path& path, std::string_view bytes) {
  AtomicFile file(path);
  if (!file.open()) return file.error();
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
    file.abandon(errno);
    return file.error();
  }
  return file.commit() ? std::string() : file.error();
}

std::string checkWritable(const fs::path& path) {
  AtomicFile probe(path);
  return probe.open() ? std::string() : probe.error();
}

}  // namespace shell
