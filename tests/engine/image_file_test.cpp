#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "engine/png_writer.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

struct Rgb8 {
  uint8_t r, g, b;
  bool operator==(const Rgb8&) const = default;
};

// A distinct colour for every pixel; y counts from the top row.
Rgb8 colorAt(uint32_t x, uint32_t y) {
  return {uint8_t(10 + 40 * x), uint8_t(20 + 50 * y), uint8_t(x * 7 + y)};
}

// An image whose stored rows run bottom-up in blue-green-red order, with
// padding bytes that must not matter.
void fillTestImage(FrameBuffer& frame, uint32_t w, uint32_t h) {
  frame.resizeImage(w, h, 24);
  std::fill(frame.bits.begin(), frame.bits.end(), uint8_t(0xEE));
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = frame.bits.data() + (h - 1 - y) * frame.stride + 3 * x;
      const Rgb8 c = colorAt(x, y);
      p[0] = c.b, p[1] = c.g, p[2] = c.r;
    }
}

// The writers fill an open stream; false when they or the file failed.
template <typename Writer>
bool writeFile(const std::string& path, Writer write) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = write(file);
  return std::fclose(file) == 0 && written;
}

bool saveBitmap(const FrameBuffer& frame, const std::string& path) {
  return writeFile(path, [&](std::FILE* file) { return frame.writeBitmap(file); });
}

bool savePng(const FrameBuffer& frame, const std::string& path) {
  return writeFile(path, [&](std::FILE* file) { return writePng(frame, file); });
}

class ImageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zentarel-image-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t le16(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8;
}

TEST_F(ImageFileTest, BitmapHeadersAndBottomUpRows) {
  FrameBuffer frame;
  fillTestImage(frame, 3, 2);
  ASSERT_TRUE(saveBitmap(frame, path("a.bmp")));
  const std::vector<uint8_t> file = readFile(path("a.bmp"));
  ASSERT_EQ(file.size(), 54u + 12 * 2);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(le32(file, 2), 78u);
  EXPECT_EQ(le32(file, 6), 0u);
  EXPECT_EQ(le32(file, 10), 54u);
  EXPECT_EQ(le32(file, 14), 40u);
  EXPECT_EQ(le32(file, 18), 3u);
  EXPECT_EQ(le32(file, 22), 2u);
  EXPECT_EQ(le16(file, 26), 1u);
  EXPECT_EQ(le16(file, 28), 24u);
  EXPECT_EQ(le32(file, 30), 0u);
  EXPECT_EQ(le32(file, 34), 24u);
  EXPECT_EQ(le32(file, 38), 3780u);
  EXPECT_EQ(le32(file, 42), 3780u);
  EXPECT_EQ(le32(file, 46), 0u);
  EXPECT_EQ(le32(file, 50), 0u);
  // First stored row is the bottom one (y = 1), blue first.
  for (uint32_t x = 0; x < 3; ++x) {
    const Rgb8 bottom = colorAt(x, 1), top = colorAt(x, 0);
    EXPECT_EQ((Rgb8{file[54 + 3 * x + 2], file[54 + 3 * x + 1], file[54 + 3 * x]}), bottom);
    EXPECT_EQ((Rgb8{file[66 + 3 * x + 2], file[66 + 3 * x + 1], file[66 + 3 * x]}), top);
  }
}

TEST_F(ImageFileTest, BitmapReadsBackWithAnIndependentReader) {
  const char* ffmpeg = "/usr/bin/ffmpeg";
  if (!fs::exists(ffmpeg)) GTEST_SKIP() << "ffmpeg is not installed";
  FrameBuffer frame;
  fillTestImage(frame, 5, 3);
  ASSERT_TRUE(saveBitmap(frame, path("b.bmp")));
  // Raw RGB triples, top row first, without padding.
  const std::string command =
      std::string(ffmpeg) + " -v error -i " + path("b.bmp") + " -f rawvideo -pix_fmt rgb24 -";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<uint8_t> rgb(5 * 3 * 3 + 1);
  const size_t got = std::fread(rgb.data(), 1, rgb.size(), pipe);
  EXPECT_EQ(pclose(pipe), 0);
  ASSERT_EQ(got, 5u * 3u * 3u);
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 5; ++x) {
      const uint8_t* p = rgb.data() + 3 * (y * 5 + x);
      EXPECT_EQ((Rgb8{p[0], p[1], p[2]}), colorAt(x, y)) << x << "," << y;
    }
}

TEST_F(ImageFileTest, PngReadsBackTopDownAsRgb) {
  FrameBuffer frame;
  fillTestImage(frame, 5, 3);
  ASSERT_TRUE(savePng(frame, path("c.png")));

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path("c.png").c_str()));
  EXPECT_EQ(image.width, 5u);
  EXPECT_EQ(image.height, 3u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 5; ++x) {
      const uint8_t* p = rgb.data() + (y * 5 + x) * 3;
      EXPECT_EQ((Rgb8{p[0], p[1], p[2]}), colorAt(x, y)) << x << "," << y;
    }
}

TEST_F(ImageFileTest, FullDevicesAndMissingImagesAreReported) {
  FrameBuffer frame;
  fillTestImage(frame, 3, 2);
  if (fs::exists("/dev/full")) {
    EXPECT_FALSE(saveBitmap(frame, "/dev/full"));
    EXPECT_FALSE(savePng(frame, "/dev/full"));
  }
  const FrameBuffer empty;
  EXPECT_FALSE(saveBitmap(empty, path("empty.bmp")));
  EXPECT_FALSE(savePng(empty, path("empty.png")));
}

}  // namespace
}  // namespace engine
