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

// "codec,width,height,pixel format,frame rate,frames" of a video's first
// stream.
std::string probeFormat(const std::string& file) {
  std::string fields = shell::testing::commandOutput(
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames -of csv=p=0 '" +
      file + "'");
  if (fields.ends_with('\n')) fields.pop_back();
  return fields;
}

// The video and the frame files of one run hold the same frames, at the
// script's rate. --video picks container and codec from the extension; odd
// sizes grow to even ones, as 4:2:0 needs them.
TEST(CliAnimation, VideosAndFrameFilesHoldEveryFrame) {
  if (!haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  TempDir dir;
  const std::string script = dir.write("turn.ifs", animation("fps(12);\n"));
  const std::string avi = dir.file("turn.avi");
  const CliRun run = runCli("--seed 11 -s 41x23 --avi " + avi + " --frames " +
                            dir.file("f%02d.png") + " " + script);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out + run.err, "start\n");
  std::string frames;
  for (const char* name : {"f00.png", "f01.png", "f02.png"}) frames += decodeFrames(dir.file(name));
  EXPECT_FALSE(std::filesystem::exists(dir.file("f03.png")));
  EXPECT_EQ(frames.size(), 3u * 41 * 23 * 3);
  EXPECT_TRUE(decodeFrames(avi) == frames);
  EXPECT_NE(frames.substr(0, frames.size() / 3),
            frames.substr(frames.size() / 3, frames.size() / 3));
  EXPECT_EQ(probeVideo(avi), "rawvideo,41,23,12/1,3");
  const std::string version = runCli("--version").out;
  const struct {
    std::string file, options, probed;
  } cases[] = {
      {"turn.mp4", "", "h264,42,24,yuv420p,12/1,3"},
      {"turn.MKV", "", "h264,42,24,yuv420p,12/1,3"},
      {"turn.webm", "", "vp9,42,24,yuv420p,12/1,3"},
      {"turn.webm", "--codec libaom-av1", "av1,42,24,yuv420p,12/1,3"},
      {"turn.mkv", "--codec=libvpx-vp9", "vp9,42,24,yuv420p,12/1,3"},
  };
  for (const auto& c : cases) {
    if (c.options.find("libaom-av1") != std::string::npos &&
        version.find("libaom-av1") == std::string::npos)
      continue;  // AV1 only where this FFmpeg build encodes it
    const std::string video = dir.file(c.file);
    const CliRun encoded =
        runCli("--seed 11 -s 41x23 " + c.options + " --video " + video + " " + script);
    ASSERT_EQ(encoded.status, 0) << c.file << " " << encoded.err;
    EXPECT_EQ(encoded.out + encoded.err, "start\n") << c.file;
    EXPECT_EQ(probeFormat(video), c.probed) << c.file << " " << c.options;
  }
  // The quality is the encoder's rate factor.
  const std::string small = dir.file("small.mp4"), fine = dir.file("fine.mp4");
  ASSERT_EQ(runCli("--seed 11 -s 96x64 --quality 5 --video " + small + " " + script).status, 0);
  ASSERT_EQ(runCli("--seed 11 -s 96x64 --quality 95 --video " + fine + " " + script).status, 0);
  EXPECT_LT(readFile(small).size() * 2, readFile(fine).size());
}

}  // namespace
}  // namespace cli::testing
