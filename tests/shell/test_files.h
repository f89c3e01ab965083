#pragma once

#include <filesystem>
#include <string>

namespace shell::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` in the directory.
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Writes a file of these bytes into the directory; returns its path.
  std::string write(const std::string& name, const std::string& bytes) const;
  // How many entries the directory holds.
  long entries() const;

 private:
  std::filesystem::path path_;
};

// The bytes of a file; empty when it cannot be read.
std::string readFile(const std::string& path);

// What a shell command writes on standard output.
std::string commandOutput(const std::string& command);

// Whether ffprobe and ffmpeg can be run to read videos and images back.
bool haveFfmpegTools();

// "codec,width,height,frame rate,frames" as ffprobe reads the first video
// stream of a video or image file, e.g. "rawvideo,66,48,15/1,2".
std::string probeVideo(const std::string& file);

// Every frame of a video or image file decoded to bgr24 bytes, top row
// first, rows unpadded.
std::string decodeFrames(const std::string& file);

}  // namespace shell::testing
