#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

using shell::testing::decodeFrames;
using shell::testing::haveFfmpegTools;

// A small tetrahedron in the middle of a background of
// background(0.2, 0.4, 0.6), in 8-bit blue, green, red: 153, 102, 51.
const std::string kScene =
    "antialiasing(2);\n"
    "camera position(0, 0, -10) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "light direction(1, -2, 1) color(0.8);\n"
    "light position(-4, 6, -8) color(1) attenuation(0, 0, 1);\n"
    "background(0.2, 0.4, 0.6);\n"
    "set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
    "      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
    "build T;\n";
const std::string kBackground = "\x99\x66\x33";

// The same seed gives the same pixels whatever the thread count and the
// image format.
TEST(CliImage, SamePixelsWhateverTheThreadsAndTheFormat) {
  TempDir dir;
  const std::string script = dir.write("scene.ifs", kScene);
  const std::string bmp = dir.file("one.BMP"), png = dir.file("two.png");
  const CliRun one = runCli("--seed 3 -s 120x90 --threads 1 -o " + bmp + " " + script);
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out + one.err, "");
  ASSERT_EQ(runCli("--seed 3 -s 120x90 --threads 2 -o " + png + " " + script).status, 0);
  EXPECT_EQ(readFile(bmp).size(), 54u + 360 * 90);
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  const std::string pixels = decodeFrames(bmp);
  EXPECT_EQ(pixels, decodeFrames(png));
  ASSERT_EQ(pixels.size(), 3u * 120 * 90);
  EXPECT_EQ(pixels.substr(0, 3), kBackground);
  EXPECT_EQ(pixels.substr(pixels.size() - 3), kBackground);
  EXPECT_NE(pixels.substr(3 * (45 * 120 + 60), 3), kBackground);  // the tetrahedron
}

}  // namespace
}  // namespace cli::testing
