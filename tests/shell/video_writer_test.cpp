#include "shell/video_writer.h"

#include <sstream>
#include <vector>

#include <gtest/gtest.h>

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

INSTANTIATE_TEST_SUITE_P(EveryOfferedCodec, VideoWriterCodec,
                         ::testing::ValuesIn(availableVideoCodecs()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace shell
