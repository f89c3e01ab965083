#include "shell/video_writer.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "shell/video_codecs.h"
#include "test_files.h"

namespace shell {
namespace {

using Bytes = std::vector<uint8_t>;

int strideOf(int width) {
  return (width * 3 + 3) & ~3;
}

// A frame as the frame buffer holds it: bottom row first, blue-green-red,
// rows padded to 4 bytes. The padding bytes hold junk that must not matter.
Bytes makeFrame(int width, int height, int frame) {
  const int stride = strideOf(width);
  Bytes bits(size_t(stride) * height, 0xA5);
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &bits[size_t(row) * stride + x * 3];
      pixel[0] = uint8_t(x * 255 / width);            // blue grows to the right
      pixel[1] = uint8_t(row * 255 / height);         // green grows upwards
      pixel[2] = uint8_t(40 + frame * 60 + (x & 1));  // red tells the frames apart
    }
  }
  return bits;
}

// The frame's pixels as a decoder gives them: top row first, no padding.
Bytes topDownPixels(const Bytes& bits, int width, int height) {
  Bytes pixels;
  for (int row = height - 1; row >= 0; --row) {
    const auto start = bits.begin() + size_t(row) * strideOf(width);
    pixels.insert(pixels.end(), start, start + width * 3);
  }
  return pixels;
}

Bytes decodeAll(const std::string& file) {
  const std::string raw = testing::decodeVideo(file);
  return Bytes(raw.begin(), raw.end());
}

// Writes `frames` frames of makeFrame into a new file; returns its path.
std::string writeVideo(const testing::TempDir& dir, const std::string& codec, int width, int height,
                       int fps, int frames, int quality = kDefaultVideoQuality) {
  const std::string path = (dir.path() / (codec + ".avi")).string();
  VideoWriter writer;
  const std::string error = writer.open(path, width, height, fps, codec, quality);
  EXPECT_EQ(error, "");
  for (int i = 0; i < frames; ++i) EXPECT_TRUE(writer.writeFrame(makeFrame(width, height, i)));
  EXPECT_EQ(writer.framesWritten(), unsigned(frames));
  EXPECT_TRUE(writer.close());
  return path;
}

TEST(VideoCodecs, OfferRawVideoFirstAndTheCommonIntraCodecs) {
  const std::vector<VideoCodecInfo> codecs = availableVideoCodecs();
  ASSERT_FALSE(codecs.empty());
  EXPECT_EQ(codecs.front().name, kDefaultVideoCodec);
  EXPECT_FALSE(codecs.front().takesQuality);
  ASSERT_TRUE(findVideoCodec("mjpeg").has_value());
  EXPECT_TRUE(findVideoCodec("mjpeg")->takesQuality);
  EXPECT_TRUE(findVideoCodec("ffv1").has_value());
  EXPECT_FALSE(findVideoCodec("no-such-codec").has_value());
  EXPECT_FALSE(findVideoCodec("aac").has_value());  // not a video codec of ours
}

TEST(VideoCodecs, FrameRateFallsBackTo15BelowOne) {
  EXPECT_EQ(animationFrameRate(25), 25);
  EXPECT_EQ(animationFrameRate(1), 1);
  EXPECT_EQ(animationFrameRate(0), 15);
  EXPECT_EQ(animationFrameRate(-4), 15);
}

TEST(VideoWriter, ReportsSetUpFailuresWithTheirMessages) {
  testing::TempDir dir;
  VideoWriter writer;
  EXPECT_EQ(writer.open((dir.path() / "missing/dir/a.avi").string(), 8, 8, 25, "rawvideo", 75),
            kCantOpenVideoFile);
  EXPECT_EQ(writer.open((dir.path() / "a.avi").string(), 8, 8, 25, "no-such-codec", 75),
            kCantCreateCompressedStream);
  EXPECT_EQ(writer.open((dir.path() / "a.avi").string(), 0, 0, 25, "rawvideo", 75),
            kCantSelectStreamFormat);
  EXPECT_EQ(writer.open((dir.path() / "a.avi").string(), 1 << 30, 1 << 30, 25, "rawvideo", 75),
            kCantSelectStreamFormat);
  EXPECT_FALSE(writer.isOpen());
  EXPECT_FALSE(writer.writeFrame(makeFrame(8, 8, 0)));
  EXPECT_TRUE(writer.close());
}

TEST(VideoWriter, RejectsAFrameShorterThanTheImage) {
  testing::TempDir dir;
  VideoWriter writer;
  ASSERT_EQ(writer.open((dir.path() / "a.avi").string(), 9, 4, 25, "rawvideo", 75), "");
  Bytes frame = makeFrame(9, 4, 0);
  frame.pop_back();
  EXPECT_FALSE(writer.writeFrame(frame));
  EXPECT_EQ(writer.framesWritten(), 0u);
}

TEST(VideoWriter, FailsToWriteFramesOnAFullDisk) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  VideoWriter writer;
  ASSERT_EQ(writer.open("/dev/full", 64, 64, 25, "rawvideo", 75), "");
  bool allWritten = true;
  for (int i = 0; i < 20 && allWritten; ++i) allWritten = writer.writeFrame(makeFrame(64, 64, i));
  EXPECT_FALSE(allWritten);
  EXPECT_FALSE(writer.close());
}

class VideoWriterCodec : public ::testing::TestWithParam<std::string> {};

// Odd sizes: 322 pixels make rows of 968 bytes, two of them padding. Every
// frame is a key frame.
TEST_P(VideoWriterCodec, WritesAFileThatFfprobeReads) {
  if (!testing::haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  testing::TempDir dir;
  const std::string file = writeVideo(dir, GetParam(), 322, 7, 25, 3);
  auto stream = testing::probeVideo(file);
  EXPECT_EQ(stream["codec_name"], GetParam());
  EXPECT_EQ(stream["nb_read_frames"], "3");
  EXPECT_EQ(stream["r_frame_rate"], "25/1");
  EXPECT_EQ(stream["width"], "322");
  EXPECT_EQ(stream["height"], "7");
  std::istringstream packets(testing::commandOutput(
      "ffprobe -v error -show_entries packet=flags -of csv=p=0 '" + file + "'"));
  int keyFrames = 0;
  for (std::string flags; std::getline(packets, flags);) keyFrames += flags.starts_with('K');
  EXPECT_EQ(keyFrames, 3);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOfferedCodec, VideoWriterCodec,
    [] {
      std::vector<std::string> names;
      for (const VideoCodecInfo& codec : availableVideoCodecs()) names.push_back(codec.name);
      return ::testing::ValuesIn(names);
    }(),
    [](const auto& instance) { return instance.param; });

class LosslessCodec : public ::testing::TestWithParam<std::string> {};

TEST_P(LosslessCodec, DecodesToTheFramesWritten) {
  if (!testing::haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  if (!findVideoCodec(GetParam())) GTEST_SKIP() << GetParam() << " not available";
  testing::TempDir dir;
  const int width = 322, height = 5, frames = 2;
  const Bytes decoded = decodeAll(writeVideo(dir, GetParam(), width, height, 10, frames));
  Bytes expected;
  for (int i = 0; i < frames; ++i) {
    const Bytes pixels = topDownPixels(makeFrame(width, height, i), width, height);
    expected.insert(expected.end(), pixels.begin(), pixels.end());
  }
  EXPECT_TRUE(decoded == expected)
      << "decoded " << decoded.size() << " bytes, expected " << expected.size();
}

INSTANTIATE_TEST_SUITE_P(Lossless, LosslessCodec,
                         ::testing::Values("rawvideo", "ffv1", "huffyuv", "utvideo"),
                         [](const auto& instance) { return instance.param; });

TEST(VideoWriter, RawFramesKeepTheirPaddedRowsAndRateDefaultsTo15) {
  if (!testing::haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  testing::TempDir dir;
  const std::string file = writeVideo(dir, "rawvideo", 322, 3, 0, 2);
  EXPECT_EQ(testing::probeVideo(file)["r_frame_rate"], "15/1");
  const std::string sizes = testing::commandOutput(
      "ffprobe -v error -show_entries packet=size -of csv=p=0 '" + file + "'");
  EXPECT_EQ(sizes, "2904\n2904\n");  // 968 bytes a row, 3 rows
}

TEST(VideoWriter, MotionJpegKeepsOrientationAndColoursAndFollowsQuality) {
  if (!testing::haveFfmpegTools()) GTEST_SKIP() << "ffprobe or ffmpeg not installed";
  testing::TempDir best, worst;
  const int width = 64, height = 48;
  const std::string file = writeVideo(best, "mjpeg", width, height, 25, 1, 100);
  const Bytes decoded = decodeAll(file);
  const Bytes expected = topDownPixels(makeFrame(width, height, 0), width, height);
  ASSERT_EQ(decoded.size(), expected.size());
  long totalError = 0;
  for (size_t i = 0; i < decoded.size(); ++i) totalError += std::abs(decoded[i] - expected[i]);
  EXPECT_LT(double(totalError) / decoded.size(), 4.0);

  const std::string small = writeVideo(worst, "mjpeg", width, height, 25, 1, 1);
  EXPECT_GT(std::filesystem::file_size(file), std::filesystem::file_size(small));
}

}  // namespace
}  // namespace shell
