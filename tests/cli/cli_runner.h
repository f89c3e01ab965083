#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli::testing {

// What a run of the built zentarel3d-cli gave.
struct CliRun {
  int status;  // exit status
  std::string out, err;
};

// Runs the program with `args` (shell words) and `input` on standard input.
CliRun runCli(const std::string& args, const std::string& input = "");

// Starts the program with `args`, its standard stream `stream` (1 or 2) on
// the descriptor `fd`, and closes `closeInChild` in it; the process id, or -1.
pid_t spawnCli(const std::vector<std::string>& args, int stream, int fd, int closeInChild);

// The bytes of a file; empty when it cannot be read.
std::string readFile(const std::string& path);

// Writes a script file into a temporary directory of this test process and
// returns its path.
std::string scriptFile(const std::string& name, const std::string& text);

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// An image read back from a file: pixels top row first.
struct Image {
  uint32_t width = 0, height = 0;
  std::vector<Rgb> pixels;
  Rgb at(uint32_t x, uint32_t y) const { return pixels[size_t(y) * width + x]; }
};

// A 24-bit bottom-up BMP file as writeBitmap writes it; nothing when it is not one.
std::optional<Image> readBmp(const std::string& path);
// A PNG file through libpng; nothing when it cannot be read.
std::optional<Image> readPng(const std::string& path);

}  // namespace cli::testing
