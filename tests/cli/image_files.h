#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli::testing {

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

// Little-endian fields of a file's bytes.
uint32_t le16(const std::string& bytes, size_t at);
uint32_t le32(const std::string& bytes, size_t at);

// A 24-bit bottom-up BMP file as saveBitmap writes it; nothing when it is not one.
std::optional<Image> readBmp(const std::string& path);
// A PNG file through libpng; nothing when it cannot be read.
std::optional<Image> readPng(const std::string& path);

}  // namespace cli::testing
