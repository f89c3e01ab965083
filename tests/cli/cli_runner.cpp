#include "cli_runner.h"

#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

extern char** environ;

namespace cli::testing {

namespace {

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Test processes run side by side: each gets files of its own.
std::string ownFile(const std::string& name) {
  return ::testing::TempDir() + "zentarel_cli_" + std::to_string(getpid()) + "_" + name;
}

uint32_t le16(const std::string& bytes, size_t at) {
  return uint8_t(bytes[at]) | uint32_t(uint8_t(bytes[at + 1])) << 8;
}

uint32_t le32(const std::string& bytes, size_t at) {
  return le16(bytes, at) | le16(bytes, at + 2) << 16;
}

}  // namespace

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

CliRun runCli(const std::string& args, const std::string& input) {
  const std::string in = ownFile("in"), out = ownFile("out"), err = ownFile("err");
  writeFile(in, input);
  const std::string command =
      std::string(CLI_PATH) + " " + args + " <" + in + " >" + out + " 2>" + err;
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status)) << command;
  return {WEXITSTATUS(status), readFile(out), readFile(err)};
}

pid_t spawnCli(const std::vector<std::string>& args, int stream, int fd, int closeInChild) {
  std::vector<char*> argv{const_cast<char*>(CLI_PATH)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fd, stream);
  posix_spawn_file_actions_addclose(&actions, closeInChild);
  pid_t pid = -1;
  if (posix_spawn(&pid, CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

std::string scriptFile(const std::string& name, const std::string& text) {
  const std::string path = ownFile(name);
  writeFile(path, text);
  return path;
}

std::optional<Image> readBmp(const std::string& path) {
  const std::string bytes = readFile(path);
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || le16(bytes, 28) != 24) {
    return std::nullopt;
  }
  Image image{le32(bytes, 18), le32(bytes, 22), {}};
  const size_t stride = (image.width * 3 + 3) & ~size_t(3);
  if (bytes.size() < 54 + stride * image.height) return std::nullopt;
  for (uint32_t y = 0; y < image.height; ++y) {
    const size_t row = 54 + stride * (image.height - 1 - y);
    for (uint32_t x = 0; x < image.width; ++x) {
      const size_t at = row + 3 * x;
      image.pixels.push_back({uint8_t(bytes[at + 2]), uint8_t(bytes[at + 1]), uint8_t(bytes[at])});
    }
  }
  return image;
}

std::optional<Image> readPng(const std::string& path) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return std::nullopt;
  png.format = PNG_FORMAT_RGB;
  Image image{png.width, png.height, std::vector<Rgb>(size_t(png.width) * png.height)};
  static_assert(sizeof(Rgb) == 3);
  const bool read = png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr);
  png_image_free(&png);
  if (!read) return std::nullopt;
  return image;
}

}  // namespace cli::testing
