#include "test_files.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace shell::testing {

TempDir::TempDir() {
  // A name that is new: create_directory is false for one that exists.
  std::random_device seed;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = std::filesystem::temp_directory_path() / ("zentarel-test-" + std::to_string(seed()));
    if (std::filesystem::create_directory(path_)) return;
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
  std::ofstream(file(name), std::ios::binary) << bytes;
  return file(name);
}

long TempDir::entries() const {
  return std::distance(std::filesystem::directory_iterator(path_), {});
}

std::string readFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

std::string commandOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
  }
  return output;
}

bool haveFfmpegTools() {
  return std::system("ffprobe -version >/dev/null 2>&1") == 0 &&
         std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

std::string probeVideo(const std::string& file) {
  std::string fields = commandOutput(
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 '" +
      file + "'");
  if (fields.ends_with('\n')) fields.pop_back();
  return fields;
}

std::string decodeFrames(const std::string& file) {
  return commandOutput("ffmpeg -v error -i '" + file + "' -f rawvideo -pix_fmt bgr24 -");
}

}  // namespace shell::testing
