#include "png_writer.h"

#include <png.h>

#include <vector>

#include "frame_buffer.h"

namespace engine {

namespace {

png_text chunkOf(const PngText& text) {
  png_text chunk{};
  chunk.compression = text.compressedUtf8 ? PNG_ITXT_COMPRESSION_zTXt : PNG_TEXT_COMPRESSION_NONE;
  chunk.key = const_cast<char*>(text.key.c_str());
  chunk.text = const_cast<char*>(text.text.c_str());
  chunk.text_length = text.text.size();
  return chunk;
}

}  // namespace

// libpng reports errors by longjmp: only plain data lives between the setjmp
// and the libpng calls.
bool writePngRows(std::FILE* file, uint32_t width, std::span<const uint8_t* const> rows,
                  std::span<const PngText> texts) {
  std::vector<png_text> chunks;
  chunks.reserve(texts.size());
  for (const PngText& text : texts) chunks.push_back(chunkOf(text));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, png_uint_32(rows.size()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!chunks.empty()) png_set_text(png, info, chunks.data(), int(chunks.size()));
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool writePng(const FrameBuffer& frame, std::FILE* file, std::span<const PngText> texts) {
  if (!frame.hasImage() || frame.bitsPerPixel != 24) return false;
  // The frame's rows are stored bottom first.
  std::vector<const uint8_t*> rows(frame.height);
  for (uint32_t y = 0; y < frame.height; ++y)
    rows[y] = frame.bits.data() + size_t(frame.height - 1 - y) * frame.stride;
  return writePngRows(file, frame.width, rows, texts);
}

}  // namespace engine
