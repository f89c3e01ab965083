// The depth buffer of a build as an OpenEXR image, read back with OpenEXR's
// own reader.
#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

// A tetrahedron above and left of the image's centre, on a background of
// background(0.2, 0.4, 0.6), in 8-bit blue, green, red: 153, 102, 51.
const std::string kScene =
    "camera position(2, -1.5, -10) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "light direction(1, -2, 1) color(0.8);\n"
    "background(0.2, 0.4, 0.6);\n"
    "set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
    "      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
    "build T;\n";
const std::string kBackground = "\x99\x66\x33";
constexpr int kWidth = 40, kHeight = 30;

TEST(CliDepth, TheDepthIsFiniteOnTheObjectAndInfiniteOnTheBackground) {
  TempDir dir;
  const std::string depthFile = dir.file("depth.EXR"), bmp = dir.file("image.bmp");
  const CliRun run = runCli("--seed 1 -s 40x30 --depth=" + depthFile + " -o " + bmp + " " +
                            dir.write("scene.ifs", kScene));
  ASSERT_EQ(run.status, 0) << run.err;

  Imf::InputFile file(depthFile.c_str());
  const Imath::Box2i window = file.header().dataWindow();
  ASSERT_EQ(window.max.x - window.min.x + 1, kWidth);
  ASSERT_EQ(window.max.y - window.min.y + 1, kHeight);
  const Imf::Channel* z = file.header().channels().findChannel("Z");
  ASSERT_TRUE(z);
  EXPECT_EQ(z->type, Imf::FLOAT);
  std::vector<float> depth(kWidth * kHeight);
  Imf::FrameBuffer slices;
  slices.insert("Z", Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(depth.data()), sizeof(float),
                                sizeof(float) * kWidth));
  file.setFrameBuffer(slices);
  file.readPixels(window.min.y, window.max.y);

  // Pixel by pixel against the image (a bottom-up BMP with rows of 120
  // bytes): the background is where the depth is infinite.
  const std::string image = readFile(bmp).substr(54);
  ASSERT_EQ(image.size(), size_t(kWidth * kHeight * 3));
  int hits = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const float d = depth[size_t(y) * kWidth + x];
      const bool background =
          image.compare(size_t((kHeight - 1 - y) * kWidth + x) * 3, 3, kBackground) == 0;
      EXPECT_EQ(std::isinf(d) && d > 0, background) << x << "," << y;
      if (!background) {
        ++hits;
        EXPECT_TRUE(d > 7 && d < 14) << d << " at " << x << "," << y;
      }
    }
  }
  // The object lies off the centre, so a flipped buffer would not match.
  EXPECT_GT(hits, 20);
  EXPECT_TRUE(std::isinf(depth[(kHeight - 1) * kWidth + kWidth - 1]));
}

}  // namespace
}  // namespace cli::testing
