#include "file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "shell/program_paths.h"

namespace cli {

namespace {

bool writeAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

bool replaceFileContent(const std::filesystem::path& path, const std::string& bytes,
                        std::string& error) {
  std::error_code failure;
  const std::filesystem::path target = std::filesystem::canonical(path, failure);
  struct stat status;
  if (failure || ::stat(target.c_str(), &status) != 0) {
    error = failure ? failure.message() : std::strerror(errno);
    return false;
  }
  std::string temporary =
      (shell::directoryOf(target) / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  // On any failure the temporary file goes and the original stays.
  auto fail = [&](int reason) {
    ::unlink(temporary.c_str());
    error = std::strerror(reason);
    return false;
  };
  if (!writeAll(fd, bytes) || ::fchmod(fd, status.st_mode & 07777) != 0 || ::fsync(fd) != 0) {
    const int reason = errno;
    ::close(fd);
    return fail(reason);
  }
  if (::close(fd) != 0) return fail(errno);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  return true;
}

}  // namespace cli
