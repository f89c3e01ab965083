#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

using shell::testing::decodeFrames;
using shell::testing::haveFfmpegTools;
using shell::testing::probeVideo;

// Three frames of a turning camera, lit by lights of random strength: the
// frames depend on the seed.
std::string animation(const std::string& rate) {
  return rate +
         "echo \"start\";\n"
         "for (f = 0; f < 3; f++) {\n"
         "  camera position(5 * sin(f * 40), 1, -5 * cos(f * 40))\n"
         "         direction(-sin(f * 40), -0.2, cos(f * 40)) vertical(0, 1, 0);\n"
         "  light direction(1, -2, 1) color(0.5 + 0.5 * rnd(1));\n"
         "  background(0.1, 0.2, 0.3);\n"
         "  set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
         "        + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
         "  build T;\n"
         "  save_frame();\n"
         "}\n";
}

// The video and the frame files of one run hold the same frames, at the
// script's rate.
TEST(CliAnimation, VideoAndFrameFilesHoldEveryFrame) {
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  TempDir dir;
  const std::string video = dir.file("turn.avi");
  const CliRun run =
      runCli("--seed 11 -s 41x23 --avi " + video + " --frames " + dir.file("f%02d.png") + " " +
             dir.write("turn.ifs", animation("fps(12);\n")));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out + run.err, "start\n");
  std::string frames;
  for (const char* name : {"f00.png", "f01.png", "f02.png"}) frames += decodeFrames(dir.file(name));
  EXPECT_FALSE(std::filesystem::exists(dir.file("f03.png")));
  EXPECT_EQ(frames.size(), 3u * 41 * 23 * 3);
  EXPECT_TRUE(decodeFrames(video) == frames);
  EXPECT_NE(frames.substr(0, frames.size() / 3),
            frames.substr(frames.size() / 3, frames.size() / 3));
  EXPECT_EQ(probeVideo(video), "rawvideo,41,23,12/1,3");
}

}  // namespace
}  // namespace cli::testing
