#include "png_reader.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";

// A text chunk may hold a script of up to 64 MiB; libpng's default stops at
// 8 MB.
constexpr png_alloc_size_t kLargestChunk = png_alloc_size_t(65) << 20;

// The unread rest of a PNG file in memory.
struct MemoryInput {
  std::string_view rest;
};

void readFromMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (input->rest.size() < length) png_error(png, "truncated");
  std::memcpy(data, input->rest.data(), length);
  input->rest.remove_prefix(length);
}

// A file that is no PNG is a result, not an event to print.
[[noreturn]] void failSilently(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

void takeTexts(png_structp png, png_infop info, PngImage& image) {
  png_textp chunks = nullptr;
  const int count = png_get_text(png, info, &chunks, nullptr);
  for (int i = 0; i < count; ++i) {
    const size_t length = chunks[i].compression > 0 ? chunks[i].itxt_length : chunks[i].text_length;
    image.texts.push_back({chunks[i].key, std::string(chunks[i].text, length),
                           chunks[i].compression == PNG_ITXT_COMPRESSION_zTXt});
  }
}

// libpng reports errors by longjmp: only plain data lives between the setjmp
// and the libpng calls, and `rows` is sized before it.
bool readWith(png_structp png, png_infop info, bool pixels, PngImage& image,
              std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  image.width = png_get_image_width(png, info);
  image.height = png_get_image_height(png, info);
  image.rgb8 =
      png_get_bit_depth(png, info) == 8 && png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB;
  if (!pixels || !image.rgb8) {
    takeTexts(png, info, image);
    return true;
  }
  image.rgb.resize(size_t(image.width) * 3 * image.height);
  rows.resize(image.height);
  for (uint32_t y = 0; y < image.height; ++y)
    rows[y] = image.rgb.data() + size_t(y) * image.width * 3;
  png_read_image(png, rows.data());
  png_read_end(png, info);
  takeTexts(png, info, image);
  return true;
}

template <typename SetInput>
std::optional<PngImage> readPngFrom(SetInput setInput, bool pixels, std::string& error) {
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failSilently, ignoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = "out of memory";
    return std::nullopt;
  }
  setInput(png);
  png_set_chunk_malloc_max(png, kLargestChunk);
  PngImage image;
  std::vector<png_bytep> rows;
  const bool read = readWith(png, info, pixels, image, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!read) {
    error = "not a PNG file";
    return std::nullopt;
  }
  return image;
}

}  // namespace

const std::string* PngImage::text(std::string_view key) const {
  const auto found =
      std::find_if(texts.begin(), texts.end(), [key](const PngText& t) { return t.key == key; });
  return found == texts.end() ? nullptr : &found->text;
}

bool hasPngSignature(std::string_view bytes) {
  return bytes.starts_with(kSignature);
}

std::optional<PngImage> readPng(std::FILE* file, bool pixels, std::string& error) {
  return readPngFrom([file](png_structp png) { png_init_io(png, file); }, pixels, error);
}

std::optional<PngImage> readPng(std::string_view bytes, bool pixels, std::string& error) {
  MemoryInput input{bytes};
  return readPngFrom([&input](png_structp png) { png_set_read_fn(png, &input, readFromMemory); },
                     pixels, error);
}

}  // namespace engine
