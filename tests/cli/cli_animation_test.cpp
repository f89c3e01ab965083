#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "image_files.h"
#include "shell/video_writer.h"
#include "temp_dir.h"

namespace cli::testing {
namespace {

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

bool haveFfmpegTools() {
  return std::system("ffprobe -version >/dev/null 2>&1") == 0 &&
         std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

std::string output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

std::map<std::string, std::string> probe(const std::string& file) {
  std::istringstream lines(
      output("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
             "stream=codec_name,nb_read_frames,r_frame_rate,width,height "
             "-of default=noprint_wrappers=1 '" +
             file + "'"));
  std::map<std::string, std::string> fields;
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return fields;
}

// An image's pixels as ffmpeg's bgr24 output gives them.
std::string bgrBytes(const Image& image) {
  std::string bytes;
  for (const Rgb& pixel : image.pixels) bytes += {char(pixel.b), char(pixel.g), char(pixel.r)};
  return bytes;
}

class CliVideo : public ::testing::TestWithParam<std::string> {};

TEST_P(CliVideo, HoldsTheScriptsFramesAtItsRate) {
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  TempDir dir;
  const std::string video = (dir.path() / "turn.avi").string();
  const CliRun run = runCli("-s 42x30 --avi " + video + " --codec " + GetParam() + " " +
                            dir.write("turn.ifs", animation("fps(12);\n")));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "start\n");
  EXPECT_EQ(run.err, "");
  auto stream = probe(video);
  EXPECT_EQ(stream["codec_name"], GetParam());
  EXPECT_EQ(stream["nb_read_frames"], "3");
  EXPECT_EQ(stream["width"], "42");
  EXPECT_EQ(stream["height"], "30");
  EXPECT_EQ(stream["r_frame_rate"], "12/1");
}

INSTANTIATE_TEST_SUITE_P(Codecs, CliVideo, ::testing::Values("rawvideo", "mjpeg"),
                         [](const auto& info) { return info.param; });

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
  const std::string decoded =
      output("ffmpeg -v error -i '" + video + "' -f rawvideo -pix_fmt bgr24 -");
  EXPECT_EQ(decoded.size(), frames.size());
  EXPECT_TRUE(decoded == frames);
  // The frames differ: the camera turns.
  EXPECT_NE(frames.substr(0, frames.size() / 3),
            frames.substr(frames.size() / 3, frames.size() / 3));
}

TEST(CliAnimation, RateIs15WithoutFps) {
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  TempDir dir;
  const std::string video = (dir.path() / "turn.avi").string();
  ASSERT_EQ(runCli("-s 16x16 --avi " + video + " " + dir.write("turn.ifs", animation(""))).status,
            0);
  EXPECT_EQ(probe(video)["r_frame_rate"], "15/1");
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
  EXPECT_EQ(probe(video)["nb_read_frames"], "3");
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

TEST(CliAnimation, VideoSetUpFailureEndsTheRunBeforeTheScript) {
  const CliRun run = runCli("-s 16x16 --avi /nonexistent/dir/turn.avi -", animation(""));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, std::string(shell::kCantOpenVideoFile) + "\n");
}

TEST(CliAnimation, FrameThatCannotBeWrittenStopsTheScript) {
  const CliRun images = runCli("-s 16x16 --frames /nonexistent/dir/f%d.bmp -", animation(""));
  EXPECT_EQ(images.status, 1);
  EXPECT_EQ(images.err,
            "zentarel3d-cli: cannot write image file: /nonexistent/dir/f0.bmp\n"
            "error: line 10:3: can't save frame\n");
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const CliRun video = runCli("-s 64x64 --avi /dev/full -", animation(""));
  EXPECT_EQ(video.status, 1);
  EXPECT_NE(video.err.find(std::string(shell::kCantWriteFrame) +
                           "\nerror: line 10:3: can't save frame\n"),
            std::string::npos)
      << video.err;
}

TEST(CliAnimation, UnknownCodecIsAUsageErrorThatListsTheCodecs) {
  const CliRun run = runCli("--avi a.avi --codec nonesuch x.ifs");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(
      run.err.rfind("zentarel3d-cli: unknown codec 'nonesuch'; available: rawvideo, mjpeg", 0), 0u)
      << run.err;
}

}  // namespace
}  // namespace cli::testing
