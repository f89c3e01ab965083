#pragma once

#include <filesystem>
#include <map>
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
  // Writes a file of these bytes into the directory; returns its path.
  std::string write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// What a shell command writes on standard output.
std::string commandOutput(const std::string& command);

// Whether ffprobe and ffmpeg can be run to read videos back.
bool haveFfmpegTools();

// The codec_name, nb_read_frames, r_frame_rate, width and height that
// ffprobe reads in the first video stream of a file.
std::map<std::string, std::string> probeVideo(const std::string& file);

// Every frame of a video decoded to bgr24 bytes, top row first, rows unpadded.
std::string decodeVideo(const std::string& file);

}  // namespace shell::testing
