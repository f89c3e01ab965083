#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace shell {

// A file that is written in full or not at all: the bytes go to a temporary
// file in the target's folder, which replaces the target only when it is
// complete and on the disk. Until then the target keeps its old content; a
// file never committed is removed. An existing target keeps its permission
// bits and, where the system allows, its owner; a symbolic link is followed
// and the file it points to is replaced. A target that exists but is no
// regular file (a device, a pipe) cannot be replaced and is written directly.
class AtomicFile {
 public:
  explicit AtomicFile(std::filesystem::path target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file; false, with the system's reason in error(),
  // when the folder takes no new file.
  bool open();
  // The open temporary file, for writers that take a stream.
  std::FILE* stream() const { return stream_; }
  // The name of the file being written, for writers that open it themselves.
  const std::filesystem::path& writePath() const { return direct_ ? target_ : temporary_; }
  // Flushes the stream, syncs the file and renames it over the target;
  // false, with the system's reason in error(), when any step fails.
  bool commit();
  // Gives the file up after a writer failed with the system error `reason`
  // (0 when it gave none): the temporary file goes, error() says why. False.
  bool abandon(int reason);
  const std::string& error() const { return error_; }

 private:
  void discard();

  std::filesystem::path target_, temporary_;
  std::FILE* stream_ = nullptr;
  bool direct_ = false;
  std::string error_;
};

// Writes `bytes` to `path` through an AtomicFile; empty when done, else the
// system's reason.
std::string writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Empty when a file can be written at `path` (its folder exists and takes a
// new file, and it is no folder itself), else the system's reason. Checked
// before a long build, so that its result is not thrown away at the end.
std::string checkWritable(const std::filesystem::path& path);

}  // namespace shell
