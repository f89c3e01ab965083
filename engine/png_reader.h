#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "png_writer.h"

namespace engine {

// A PNG file as read back: its size, its text chunks and, when asked for and
// the file holds 8-bit RGB, its rows top first, 3 bytes a pixel (RGB).
struct PngImage {
  uint32_t width = 0, height = 0;
  std::vector<PngText> texts;
  bool rgb8 = false;  // 8 bits per channel, RGB without alpha
  std::vector<uint8_t> rgb;

  // The text of the first chunk with this key, or nothing.
  const std::string* text(std::string_view key) const;
};

// Whether the bytes start with the PNG signature.
bool hasPngSignature(std::string_view bytes);

// Reads a PNG file from an open stream or from memory; with `pixels` also
// the rows of an 8-bit RGB image (else only the chunks before them). Nothing,
// with the reason in `error`, when the bytes are no readable PNG file.
std::optional<PngImage> readPng(std::FILE* file, bool pixels, std::string& error);
std::optional<PngImage> readPng(std::string_view bytes, bool pixels, std::string& error);

}  // namespace engine
