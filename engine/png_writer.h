#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace engine {

class FrameBuffer;

// A text chunk of a PNG file: plain Latin-1 (tEXt), or UTF-8 compressed
// (iTXt) for long texts such as a script.
struct PngText {
  std::string key, text;
  bool compressedUtf8 = false;
};

// Writes rows of 24-bit blue-green-red pixels, `rows` top row first, as an RGB
// PNG file with the text chunks before the pixels, into an open stream;
// false when the stream failed.
bool writePngRows(std::FILE* file, uint32_t width, std::span<const uint8_t* const> rows,
                  std::span<const PngText> texts);

// Writes a 24-bit image as an RGB PNG file, top row first; false when there
// is no such image or the stream failed.
bool writePng(const FrameBuffer& frame, std::FILE* file, std::span<const PngText> texts = {});

}  // namespace engine
