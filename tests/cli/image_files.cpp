#include "image_files.h"

#include <png.h>

#include <cstring>

#include "cli_runner.h"

namespace cli::testing {

uint32_t le16(const std::string& bytes, size_t at) {
  return uint8_t(bytes[at]) | uint32_t(uint8_t(bytes[at + 1])) << 8;
}

uint32_t le32(const std::string& bytes, size_t at) {
  return le16(bytes, at) | le16(bytes, at + 2) << 16;
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
