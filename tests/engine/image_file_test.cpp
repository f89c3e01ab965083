#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "engine/png_writer.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

// A distinct colour for every pixel; y counts from the top row.
std::vector<uint8_t> colorAt(uint32_t x, uint32_t y) {
  return {uint8_t(10 + 40 * x), uint8_t(20 + 50 * y), uint8_t(x * 7 + y)};
}

class ImageFileTest : public ::testing::Test {
 protected:
  // A 5 x 3 image stored bottom-up in blue-green-red order, with padding
  // bytes that must not matter.
  ImageFileTest() {
    fs::create_directories(dir_);
    frame.resizeImage(5, 3, 24);
    std::fill(frame.bits.begin(), frame.bits.end(), uint8_t(0xEE));
    for (uint32_t y = 0; y < 3; ++y)
      for (uint32_t x = 0; x < 5; ++x) {
        const std::vector<uint8_t> c = colorAt(x, y);
        std::copy(c.rbegin(), c.rend(), frame.bits.begin() + (2 - y) * frame.stride + 3 * x);
      }
  }
  ~ImageFileTest() override { fs::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  // Raw RGB rows, top first, as read back.
  void expectImage(const std::vector<uint8_t>& rgb) {
    ASSERT_EQ(rgb.size(), 5u * 3 * 3);
    for (uint32_t y = 0; y < 3; ++y)
      for (uint32_t x = 0; x < 5; ++x)
        EXPECT_EQ(
            std::vector<uint8_t>(rgb.begin() + 3 * (y * 5 + x), rgb.begin() + 3 * (y * 5 + x + 1)),
            colorAt(x, y))
            << x << "," << y;
  }

  FrameBuffer frame;

 private:
  fs::path dir_ = fs::temp_directory_path() / ("zentarel-image-" + std::to_string(getpid()));
};

// Both writers' files read back top-down as RGB with an independent reader.
TEST_F(ImageFileTest, FilesReadBackWithAnIndependentReader) {
  if (!fs::exists("/usr/bin/ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  ASSERT_TRUE(frame.saveBitmap(path("b.bmp")));
  ASSERT_TRUE(savePng(frame, path("c.png")));
  for (const char* name : {"b.bmp", "c.png"}) {
    const std::string command =
        "/usr/bin/ffmpeg -v error -i " + path(name) + " -f rawvideo -pix_fmt rgb24 -";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<uint8_t> rgb(5 * 3 * 3 + 1);
    rgb.resize(std::fread(rgb.data(), 1, rgb.size(), pipe));
    EXPECT_EQ(pclose(pipe), 0);
    expectImage(rgb);
  }
}

TEST_F(ImageFileTest, UnwritableFilesAndMissingImagesAreReported) {
  EXPECT_FALSE(frame.saveBitmap(path("missing-dir/a.bmp")));
  EXPECT_FALSE(savePng(frame, path("missing-dir/a.png")));
  EXPECT_FALSE(frame.saveBitmap(path(".")));
  // A full disk fails at the final flush. (Not tried with the PNG writer:
  // libpng removes the file that it failed to write.)
  if (fs::exists("/dev/full")) {
    EXPECT_FALSE(frame.saveBitmap("/dev/full"));
  }
  const FrameBuffer empty;
  EXPECT_FALSE(empty.saveBitmap(path("empty.bmp")));
  EXPECT_FALSE(savePng(empty, path("empty.png")));
  EXPECT_FALSE(fs::exists(path("empty.bmp")));
}

}  // namespace
}  // namespace engine
