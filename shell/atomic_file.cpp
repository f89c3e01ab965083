#include "atomic_file.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

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

bool syncToDisk(std::FILE* stream) {
#ifdef _WIN32
  return _commit(_fileno(stream)) == 0;
#else
  return ::fsync(::fileno(stream)) == 0;
#endif
}

// The replacement takes over the permission bits and, where allowed, the
// owner of the file it replaces; a new file keeps what the umask gave it.
void keepAttributesOf(const fs::path& target, std::FILE* stream, const fs::path& temporary) {
  std::error_code failure;
  const fs::file_status status = fs::status(target, failure);
  if (failure || !fs::is_regular_file(status)) return;
  fs::permissions(temporary, status.permissions(), failure);
#ifndef _WIN32
  struct stat info;
  if (::stat(target.c_str(), &info) == 0 && ::fchown(::fileno(stream), info.st_uid, info.st_gid)) {
    // Only a privileged user may give a file away; the copy stays the user's.
  }
#else
  (void)stream;
#endif
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
    stream_ = std::fopen(target_.string().c_str(), "wb");
    return stream_ || abandon(errno);
  }
  const fs::path folder = target_.parent_path().empty() ? fs::path(".") : target_.parent_path();
  std::random_device seed;
  std::minstd_rand generator(seed());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary_ = folder / ("." + target_.filename().string() + "." +
                           std::to_string(generator() % 1000000) + ".tmp");
    errno = 0;
    // "x": the name must be new, so that no other file is ever overwritten.
    stream_ = std::fopen(temporary_.string().c_str(), "wbx");
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
