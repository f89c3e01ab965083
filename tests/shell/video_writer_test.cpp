#include "shell/video_writer.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "decoded_video.h"
#include "shell/video_codecs.h"
#include "test_files.h"

namespace shell {
namespace {

using Bytes = std::vector<uint8_t>;

// A frame of eight 16x16 patches of plain colours: primaries, greys and
// mixtures, with the levels 64 and 192 where a range mistake shows most.
constexpr int kWidth = 64, kHeight = 32;
Bytes makePatches() {
  constexpr uint8_t colours[8][3] = {{0, 0, 255},     {0, 255, 0},  {255, 0, 0},  {64, 64, 64},
                                     {192, 192, 192}, {0, 64, 192}, {192, 64, 0}, {255, 255, 255}};
  Bytes bits(size_t(kWidth) * 3 * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t* colour = colours[y / 16 * 4 + x / 16];
      std::copy(colour, colour + 3, &bits[(size_t(y) * kWidth + x) * 3]);
    }
  }
  return bits;
}

class VideoWriterCodec : public ::testing::TestWithParam<VideoCodecInfo> {};

// Every offered codec gives back the colours it was given, read back by the
// linked libraries (also where no ffmpeg tool is) inside the patches (their
// edges blur in 4:2:0 chroma), bottom row first in, top row first out: the
// lossless ones exactly; full range taken for limited, or the reverse, is off
// by 11 or more at 64 and 192. Its frames are key frames that ffprobe reads,
// at 15 frames a second without a rate. (Padded rows: the runner's tests.)
TEST_P(VideoWriterCodec, WritesKeyFramesInTheirColours) {
  const VideoCodecInfo& codec = GetParam();
  testing::TempDir dir;
  const std::string file = dir.file("patches.avi");
  const Bytes patches = makePatches();
  VideoWriter writer;
  ASSERT_EQ(writer.open(file, kWidth, kHeight, 0, codec.name, 100), "");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(writer.writeFrame(patches));
  ASSERT_TRUE(writer.close());
  const std::string decoded = testing::decodedFrames(file);
  ASSERT_EQ(decoded.size(), 3 * patches.size());
  int worst = 0;
  for (int y = 4; y < kHeight; y += y % 16 == 11 ? 9 : 1) {
    for (int x = 4; x < kWidth; x += x % 16 == 11 ? 9 : 1) {
      for (int c = 0; c < 3; ++c) {
        const uint8_t given = patches[(size_t(kHeight - 1 - y) * kWidth + x) * 3 + c];
        const uint8_t read = decoded[(size_t(y) * kWidth + x) * 3 + c];
        worst = std::max(worst, std::abs(read - given));
      }
    }
  }
  EXPECT_LE(worst, codec.takesQuality ? 6 : 0);
  if (!testing::haveFfmpegTools()) GTEST_SKIP() << "ffprobe not installed";
  EXPECT_EQ(testing::probeVideo(file), codec.name + ",64,32,15/1,3");
  std::istringstream packets(testing::commandOutput(
      "ffprobe -v error -show_entries packet=flags -of csv=p=0 '" + file + "'"));
  int keyFrames = 0;
  for (std::string flags; std::getline(packets, flags);) keyFrames += flags.starts_with('K');
  EXPECT_EQ(keyFrames, 3);
}

INSTANTIATE_TEST_SUITE_P(EveryOfferedCodec, VideoWriterCodec,
                         ::testing::ValuesIn(availableVideoCodecs()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace shell
