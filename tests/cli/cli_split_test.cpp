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
constexpr char kAnimationSize[] = "--seed 3 -s 64x48 ";

std::string frameFile(const TempDir& dir, const std::string& prefix, int number) {
  return (dir.path() / (prefix + std::to_string(number) + ".png")).string();
}

TEST(CliSplit, FramesOfARangeEqualThoseOfTheFullRun) {
  TempDir dir;
  const std::string script = dir.write("anim.ifs", kRandomAnimation);
  const std::string fullPattern = (dir.path() / "full%d.png").string();
  ASSERT_EQ(runCli(kAnimationSize + ("--frames " + fullPattern) + " " + script).status, 0);
  // Each range writes its frames under their global numbers.
  const struct {
    const char* range;
    int first, last;
  } ranges[] = {{"0-1", 0, 1}, {"4-", 4, 4}, {"5-9", 5, 4}};
  for (const auto& range : ranges) {
    const std::string pattern = (dir.path() / "part%d.png").string();
    const CliRun run = runCli(std::string(kAnimationSize) + "--frame-range " + range.range +
                              " --frames " + pattern + " " + script);
    // A range past the last frame has nothing to render.
    ASSERT_EQ(run.status, range.first < kFrames ? 0 : 2) << range.range << run.err;
    for (int n = 0; n < kFrames; ++n) {
      const bool inRange = n >= range.first && n <= range.last;
      EXPECT_EQ(std::filesystem::exists(frameFile(dir, "part", n)), inRange) << range.range;
      if (inRange) {
        EXPECT_EQ(readFile(frameFile(dir, "part", n)), readFile(frameFile(dir, "full", n))) << n;
      }
    }
    for (int n = range.first; n <= range.last; ++n)
      std::filesystem::remove(frameFile(dir, "part", n));
  }
}

TEST(CliSplit, JoinedFramesMakeTheVideoOfOneProcess) {
  TempDir dir;
  const std::string script = dir.write("anim.ifs", kRandomAnimation);
  EXPECT_EQ(runCli("--count-frames " + script).out, "frames: 5, fps: 10\n");
  const std::string pattern = (dir.path() / "frame%d.png").string();
  for (const char* range : {"0-2", "3-"}) {
    const std::string args = "--frame-range " + std::string(range) + " --frames " + pattern;
    ASSERT_EQ(runCli(kAnimationSize + args + " " + script).status, 0) << range;
  }
  std::string frames;
  for (int n = 0; n < kFrames; ++n) frames += " " + frameFile(dir, "frame", n);
  for (const char* codec : {"rawvideo", "ffv1"}) {
    const std::string whole = (dir.path() / "whole.avi").string();
    const std::string joined = (dir.path() / "joined.avi").string();
    ASSERT_EQ(
        runCli(kAnimationSize + std::string("--codec ") + codec + " --avi " + whole + " " + script)
            .status,
        0);
    const CliRun join =
        runCli(std::string("--join --fps 10 --codec ") + codec + " --avi " + joined + frames);
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
  auto path = [&dir](const std::string& name) { return (dir.path() / name).string(); };
  for (const char* image : {"full.png", "full.bmp"})
    ASSERT_EQ(runCli(still + "-o " + path(image)).status, 0);
  for (int i = 0; i < 4; ++i) {
    const std::string part =
        std::to_string(i) + "/4 -o " + path("band" + std::to_string(i) + ".png");
    ASSERT_EQ(runCli(still + "--part " + part).status, 0) << part;
  }
  ASSERT_EQ(runCli("-s 80x300 --sample 19 --part 1/4 -o " + path("taller.png")).status, 0);
  const std::string bands = path("band2.png") + " " + path("band0.png") + " " + path("band3.png");

  for (const char* image : {"full.png", "full.bmp"}) {
    const std::string joined = path(std::string("joined") + (image + 4));
    const CliRun join = runCli("--join -o " + joined + " " + bands + " " + path("band1.png"));
    ASSERT_EQ(join.status, 0) << join.err;
    EXPECT_EQ(readFile(joined), readFile(path(image))) << image;
  }
  const struct {
    std::string last, message;
  } misfits[] = {
      {"", "joined.png: no part has rows "},
      {path("band1.png") + " " + path("band1.png"), "band1.png: overlaps "},
      {path("taller.png"), "taller.png: a band of a 80x300 image, not 80x280"},
      {path("full.png"), "full.png: not an image band"},
  };
  for (const auto& misfit : misfits) {
    const CliRun join = runCli("--join -o " + path("joined.png") + " " + bands + " " + misfit.last);
    EXPECT_EQ(join.status, 2) << misfit.message;
    EXPECT_NE(join.err.find(misfit.message), std::string::npos) << join.err;
  }
}

}  // namespace
}  // namespace cli::testing
