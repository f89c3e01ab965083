// A render split over processes (frame ranges, image bands, the join) gives
// the bytes of one process's output.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "test_files.h"

namespace cli::testing {
namespace {

using shell::testing::TempDir;

// Five frames that each draw on everything a skipped frame must advance:
// "rnd", the colour generator of the set compilation (colour keys drive the
// random pick of "%") and the automatic camera (no direction).
constexpr char kRandomAnimation[] =
    "fps(10);\n"
    "for (f = 0; f < 5; f++) {\n"
    "  camera position(4 * sin(f * 30) + rnd(1), 2, -4) vertical(0, 1, 0);\n"
    "  light direction(1, -2, 1) color(0.5 + 0.5 * rnd(1));\n"
    "  set T = (0.5 translate(1, 1, 1) T | 1 + 0.5 translate(1, -1, -1) T | 2\n"
    "         + 0.5 translate(-1, 1, -1) T | 3 + 0.5 translate(-1, -1, 1) T | 4) % 3;\n"
    "  build T;\n"
    "  save_frame();\n"
    "}\n";
constexpr int kFrames = 5;
const std::string kAnimationSize = "--seed 3 -s 64x48 ";

// Ranges write their frames under their global numbers and nothing else;
// joined, they make the video of one process.
TEST(CliSplit, FrameRangesJoinIntoTheVideoOfOneProcess) {
  TempDir dir;
  const std::string script = dir.write("anim.ifs", kRandomAnimation);
  EXPECT_EQ(runCli("--count-frames " + script).out, "frames: 5, fps: 10\n");
  const std::string frames = " --frames " + dir.file("frame%d.png") + " " + script;
  ASSERT_EQ(runCli(kAnimationSize + ("--frame-range 0-2") + frames).status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("frame2.png")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("frame3.png")));
  ASSERT_EQ(runCli(kAnimationSize + ("--frame-range 3-") + frames).status, 0);
  // A range past the last frame has nothing to render.
  EXPECT_EQ(runCli(kAnimationSize + ("--frame-range 5-9") + frames).status, 2);
  EXPECT_EQ(dir.entries(), 1 + kFrames);
  std::string files;
  for (int n = 0; n < kFrames; ++n) files += " " + dir.file("frame" + std::to_string(n) + ".png");
  for (const char* codec : {"rawvideo", "ffv1"}) {
    const std::string whole = dir.file("whole.avi"), joined = dir.file("joined.avi");
    const std::string withCodec = std::string("--codec ") + codec + " --avi ";
    ASSERT_EQ(runCli(kAnimationSize + withCodec + whole + " " + script).status, 0);
    const CliRun join = runCli("--join --fps 10 " + withCodec + joined + files);
    ASSERT_EQ(join.status, 0) << join.err;
    EXPECT_EQ(readFile(joined), readFile(whole)) << codec;
  }
}

// Band I of N of a still, joined in any order, is the full image; every
// part that does not fit is named.
TEST(CliSplit, JoinedBandsMakeTheFullImageAndMisfitsAreNamed) {
  TempDir dir;
  // 280 rows are five tile rows of the default layout.
  const std::string still = "--seed 1 --sample 19 -s 80x280 ";
  for (const char* image : {"full.png", "full.bmp"})
    ASSERT_EQ(runCli(still + "-o " + dir.file(image)).status, 0);
  for (int i = 0; i < 4; ++i) {
    const std::string part =
        std::to_string(i) + "/4 -o " + dir.file("band" + std::to_string(i) + ".png");
    ASSERT_EQ(runCli(still + "--part " + part).status, 0) << part;
  }
  ASSERT_EQ(runCli("-s 80x300 --sample 19 --part 1/4 -o " + dir.file("taller.png")).status, 0);
  const std::string bands =
      dir.file("band2.png") + " " + dir.file("band0.png") + " " + dir.file("band3.png");

  for (const char* image : {"full.png", "full.bmp"}) {
    const std::string joined = dir.file(std::string("joined") + (image + 4));
    const CliRun join = runCli("--join -o " + joined + " " + bands + " " + dir.file("band1.png"));
    ASSERT_EQ(join.status, 0) << join.err;
    EXPECT_EQ(readFile(joined), readFile(dir.file(image))) << image;
  }
  const struct {
    std::string last, message;
  } misfits[] = {
      {"", "joined.png: no part has rows "},
      {dir.file("band1.png") + " " + dir.file("band1.png"), "band1.png: overlaps "},
      {dir.file("taller.png"), "taller.png: a band of a 80x300 image, not 80x280"},
      {dir.file("full.png"), "full.png: not an image band"},
  };
  for (const auto& misfit : misfits) {
    const CliRun join =
        runCli("--join -o " + dir.file("joined.png") + " " + bands + " " + misfit.last);
    EXPECT_EQ(join.status, 2) << misfit.message;
    EXPECT_NE(join.err.find(misfit.message), std::string::npos) << join.err;
  }
}

}  // namespace
}  // namespace cli::testing
