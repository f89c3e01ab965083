#include "band_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "engine/frame_buffer.h"
#include "shell/atomic_file.h"
#include "shell/platform.h"

namespace cli {

namespace {

// The text chunk that holds the place: "TOP FULLWIDTH FULLHEIGHT".
constexpr char kPlaceKey[] = "Zentarel3d band";

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// libpng reports errors by longjmp; each function below keeps only plain
// data between its setjmp and the libpng calls.
bool writeRows(std::FILE* file, const BandPlace& place, uint32_t height,
               const std::vector<png_bytep>& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%u %u %u", place.top, place.fullWidth, place.fullHeight);
  png_text chunk{};
  chunk.compression = PNG_TEXT_COMPRESSION_NONE;
  chunk.key = const_cast<char*>(kPlaceKey);
  chunk.text = text;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, place.fullWidth, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_text(png, info, &chunk, 1);
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool readRows(std::FILE* file, ImageBand& band, std::string& error) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = "out of memory";
    return false;
  }
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    error = "not a PNG file";
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  png_textp chunks = nullptr;
  const int count = png_get_text(png, info, &chunks, nullptr);
  bool placed = false;
  for (int i = 0; i < count && !placed; ++i) {
    placed = std::string(chunks[i].key) == kPlaceKey &&
             std::sscanf(chunks[i].text, "%u %u %u", &band.place.top, &band.place.fullWidth,
                         &band.place.fullHeight) == 3;
  }
  const uint32_t width = png_get_image_width(png, info);
  band.height = png_get_image_height(png, info);
  if (!placed || width != band.place.fullWidth || png_get_bit_depth(png, info) != 8 ||
      png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB) {
    png_destroy_read_struct(&png, &info, nullptr);
    error = "not an image band";
    return false;
  }
  band.rgb.resize(size_t(width) * 3 * band.height);
  rows.resize(band.height);
  for (uint32_t y = 0; y < band.height; ++y) rows[y] = band.rgb.data() + size_t(y) * width * 3;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

std::string saveBandPng(const engine::FrameBuffer& frame, const std::string& fileName) {
  if (!frame.hasImage() || frame.bitsPerPixel != 24 || frame.bandHeight == 0)
    return "no band was rendered";
  // The frame's rows are stored bottom first.
  std::vector<png_bytep> rows(frame.bandHeight);
  for (uint32_t y = 0; y < frame.bandHeight; ++y) {
    const size_t stored = frame.height - 1 - (frame.bandTop + y);
    rows[y] = const_cast<png_bytep>(frame.bits.data() + stored * frame.stride);
  }
  shell::AtomicFile file(shell::pathFromUtf8(fileName));
  if (!file.open()) return file.error();
  errno = 0;
  if (!writeRows(file.stream(), {frame.bandTop, frame.width, frame.height}, frame.bandHeight, rows))
    file.abandon(errno);
  else
    file.commit();
  return file.error();
}

std::optional<ImageBand> readBandPng(const std::string& fileName, std::string& error) {
  File file(shell::openFile(shell::pathFromUtf8(fileName), "rb"), std::fclose);
  if (!file) {
    error = "cannot be read";
    return std::nullopt;
  }
  ImageBand band;
  if (!readRows(file.get(), band, error)) return std::nullopt;
  return band;
}

}  // namespace cli
