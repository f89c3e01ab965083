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

// A frame as the frame buffer holds it: bottom row first, blue-green-red,
// rows padded to 4 bytes; the padding holds junk that must not matter. Odd
// sizes: 322 pixels make rows of 968 bytes, two of them padding.
constexpr int kWidth = 322, kHeight = 7, kStride = 968;
Bytes makeFrame(int frame) {
  Bytes bits(size_t(kStride) * kHeight, 0xA5);
  for (int row = 0; row < kHeight; ++row) {
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* pixel = &bits[size_t(row) * kStride + x * 3];
      pixel[0] = uint8_t(x * 255 / kWidth);           // blue grows to the right
      pixel[1] = uint8_t(row * 255 / kHeight);        // green grows upwards
      pixel[2] = uint8_t(40 + frame * 60 + (x & 1));  // red tells the frames apart
    }
  }
  return bits;
}

class VideoWriterCodec : public ::testing::TestWithParam<VideoCodecInfo> {};

// Every offered codec writes key frames that ffprobe reads, at 15 frames a
// second without a rate; the lossless ones give back the very pixels, top
// row first.
TEST_P(VideoWriterCodec, WritesKeyFramesThatFfmpegReads) {
  if (!testing::haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  const VideoCodecInfo& codec = GetParam();
  testing::TempDir dir;
  const std::string file = dir.file("best.avi");
  VideoWriter writer;
  EXPECT_EQ(writer.open(file, kWidth, kHeight, 0, codec.name, 100), "");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(writer.writeFrame(makeFrame(i)));
  EXPECT_TRUE(writer.close());
  EXPECT_EQ(testing::probeVideo(file), codec.name + ",322,7,15/1,3");
  std::istringstream packets(testing::commandOutput(
      "ffprobe -v error -show_entries packet=flags -of csv=p=0 '" + file + "'"));
  int keyFrames = 0;
  for (std::string flags; std::getline(packets, flags);) keyFrames += flags.starts_with('K');
  EXPECT_EQ(keyFrames, 3);
  if (codec.takesQuality) return;  // lossy
  std::string expected;
  for (int i = 0; i < 3; ++i) {
    const Bytes bits = makeFrame(i);
    for (int row = kHeight - 1; row >= 0; --row) {
      expected.append(bits.begin() + row * kStride, bits.begin() + row * kStride + kWidth * 3);
    }
  }
  EXPECT_TRUE(testing::decodeFrames(file) == expected);
}

// A frame of eight 16x16 patches of plain colours: primaries, greys and
// mixtures, with the levels 64 and 192 where a range mistake shows most.
constexpr int kPatchesWidth = 64, kPatchesHeight = 32;
Bytes makePatches() {
  constexpr uint8_t colours[8][3] = {{0, 0, 255},     {0, 255, 0},  {255, 0, 0},  {64, 64, 64},
                                     {192, 192, 192}, {0, 64, 192}, {192, 64, 0}, {255, 255, 255}};
  Bytes bits(size_t(kPatchesWidth) * 3 * kPatchesHeight);
  for (int y = 0; y < kPatchesHeight; ++y) {
    for (int x = 0; x < kPatchesWidth; ++x) {
      const uint8_t* colour = colours[y / 16 * 4 + x / 16];
      std::copy(colour, colour + 3, &bits[(size_t(y) * kPatchesWidth + x) * 3]);
    }
  }
  return bits;
}

// Read back by the linked libraries (also where no ffmpeg tool is), every
// codec gives the colours it was given, looked at inside the patches (their
// edges blur in 4:2:0 chroma): full range taken for limited, or the reverse,
// is off by 11 or more at 64 and 192.
TEST_P(VideoWriterCodec, FramesReadBackInTheirColours) {
  const VideoCodecInfo& codec = GetParam();
  testing::TempDir dir;
  const std::string file = dir.file("patches.avi");
  const Bytes patches = makePatches();
  VideoWriter writer;
  ASSERT_EQ(writer.open(file, kPatchesWidth, kPatchesHeight, 0, codec.name, 100), "");
  EXPECT_TRUE(writer.writeFrame(patches));
  ASSERT_TRUE(writer.close());
  const std::string decoded = testing::decodedFrames(file);
  ASSERT_EQ(decoded.size(), patches.size());
  int worst = 0;
  for (int y = 4; y < kPatchesHeight; y += y % 16 == 11 ? 9 : 1) {
    for (int x = 4; x < kPatchesWidth; x += x % 16 == 11 ? 9 : 1) {
      for (int c = 0; c < 3; ++c) {
        const uint8_t given = patches[(size_t(kPatchesHeight - 1 - y) * kPatchesWidth + x) * 3 + c];
        const uint8_t read = decoded[(size_t(y) * kPatchesWidth + x) * 3 + c];
        worst = std::max(worst, std::abs(read - given));
      }
    }
  }
  EXPECT_LE(worst, codec.takesQuality ? 6 : 0);
}

INSTANTIATE_TEST_SUITE_P(EveryOfferedCodec, VideoWriterCodec,
                         ::testing::ValuesIn(availableVideoCodecs()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace shell
