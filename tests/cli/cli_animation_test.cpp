#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "shell/video_writer.h"
#include "test_files.h"

namespace cli::testing {
namespace {

using shell::testing::haveFfmpegTools;
using shell::testing::probeVideo;
using shell::testing::TempDir;

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

// An image's pixels as ffmpeg's bgr24 output gives them.
std::string bgrBytes(const Image& image) {
  std::string bytes;
  for (const Rgb& pixel : image.pixels) bytes += {char(pixel.b), char(pixel.g), char(pixel.r)};
  return bytes;
}

struct VideoCase {
  const char* codec;
  const char* rateStatement;
  const char* rate;
};

class CliVideo : public ::testing::TestWithParam<VideoCase> {};

TEST_P(CliVideo, HoldsTheScriptsFramesAtItsRate) {
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  TempDir dir;
  const std::string video = (dir.path() / "turn.avi").string();
  const CliRun run = runCli("-s 42x30 --avi " + video + " --codec " + GetParam().codec + " " +
                            dir.write("turn.ifs", animation(GetParam().rateStatement)));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "start\n");
  EXPECT_EQ(run.err, "");
  auto stream = probeVideo(video);
  EXPECT_EQ(stream["codec_name"], GetParam().codec);
  EXPECT_EQ(stream["nb_read_frames"], "3");
  EXPECT_EQ(stream["width"], "42");
  EXPECT_EQ(stream["height"], "30");
  EXPECT_EQ(stream["r_frame_rate"], GetParam().rate);
}

// Without "fps" the rate is 15.
INSTANTIATE_TEST_SUITE_P(Codecs, CliVideo,
                         ::testing::Values(VideoCase{"rawvideo", "fps(12);\n", "12/1"},
                                           VideoCase{"mjpeg", "", "15/1"}),
                         [](const auto& info) { return std::string(info.param.codec); });

TEST(CliAnimation, RawVideoFramesEqualTheFrameImages) {
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  TempDir dir;
  const std::string script = dir.write("turn.ifs", animation("fps(12);\n"));
  const std::string video = (dir.path() / "turn.avi").string();
  const std::string pattern = (dir.path() / "out%02d.bmp").string();
  ASSERT_EQ(runCli("--seed 11 -s 41x23 --avi " + video + " " + script).status, 0);
  ASSERT_EQ(runCli("--seed 11 -s 41x23 --frames " + pattern + " " + script).status, 0);
  std::string frames;
  for (const char* name : {"out00.bmp", "out01.bmp", "out02.bmp"}) {
    const std::optional<Image> image = readBmp((dir.path() / name).string());
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width, 41u);
    frames += bgrBytes(*image);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "out03.bmp"));
  const std::string decoded = shell::testing::decodeVideo(video);
  EXPECT_EQ(decoded.size(), frames.size());
  EXPECT_TRUE(decoded == frames);
  // The frames differ: the camera turns.
  EXPECT_NE(frames.substr(0, frames.size() / 3),
            frames.substr(frames.size() / 3, frames.size() / 3));
}

TEST(CliAnimation, VideoAndFramesTogetherGetEveryFrame) {
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  TempDir dir;
  const std::string video = (dir.path() / "turn.avi").string();
  const std::string pattern = (dir.path() / "f%d.png").string();
  ASSERT_EQ(runCli("-s 16x16 --avi " + video + " --frames " + pattern + " " +
                   dir.write("turn.ifs", animation("")))
                .status,
            0);
  EXPECT_EQ(probeVideo(video)["nb_read_frames"], "3");
  for (const char* name : {"f0.png", "f1.png", "f2.png"}) {
    const std::optional<Image> image = readPng((dir.path() / name).string());
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width, 16u);
  }
}

TEST(CliAnimation, VideoIsOpenedOnlyForScriptsThatSaveFrames) {
  TempDir dir;
  const std::string video = (dir.path() / "still.avi").string();
  const CliRun run = runCli("-s 16x16 --avi " + video + " -",
                            "camera position(0, 0, -5) direction(0, 0, 1) vertical(0, 1, 0);\n"
                            "set T = 0.5 T + 0.5 translate(1, 0, 0) T; build T;");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(video));
}

TEST(CliAnimation, FrameThatCannotBeWrittenStopsTheScript) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const CliRun video = runCli("-s 64x64 --avi /dev/full -", animation(""));
  EXPECT_EQ(video.status, 2);
  EXPECT_NE(video.err.find(std::string(shell::kCantWriteFrame) +
                           "\nzentarel3d-cli: cannot write video file '/dev/full': No space left "
                           "on device\nerror: line 10:3: can't save frame\n"),
            std::string::npos)
      << video.err;
}

}  // namespace
}  // namespace cli::testing
