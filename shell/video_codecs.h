#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// The kinds of video file, each chosen by its file name's extension.
enum class VideoContainer { Avi, Mp4, Matroska, WebM };

// A codec that the video writer can put into a video file.
struct VideoCodecInfo {
  std::string name;         // the encoder's name, as passed to VideoWriter::open
  std::string description;  // for menus and --help texts
  bool takesQuality = false;
  // Codecs of the players' formats (MP4, Matroska, WebM) take the quality as
  // a constant rate factor from worst (quality 1) to best (quality 100),
  // and 4:2:0 frames of even size; 0 for the intra-frame codecs of AVI.
  int bestRateFactor = 0, worstRateFactor = 0;
  bool usesRateFactor() const { return worstRateFactor > 0; }
};

inline constexpr const char* kDefaultVideoCodec = "rawvideo";
// Quality runs from 1 (smallest file) to 100 (best image).
inline constexpr int kDefaultVideoQuality = 75;

// The container that a file name's extension names (".avi", ".mp4", ".mkv",
// ".webm", in any letter case), or nothing.
std::optional<VideoContainer> videoContainerOf(std::string_view fileName);
// ".avi", ".mp4", ".mkv" or ".webm".
const char* videoExtension(VideoContainer container);
// FFmpeg's name of the container's muxer.
const char* videoMuxer(VideoContainer container);

// The codecs this FFmpeg build can encode into the container, its default
// first.
std::vector<VideoCodecInfo> availableVideoCodecs(VideoContainer container = VideoContainer::Avi);
// The codec of that name available for the container, or nothing.
std::optional<VideoCodecInfo> findVideoCodec(const std::string& name,
                                             VideoContainer container = VideoContainer::Avi);

// The frame rate of an animation: the script's own, or 15 when the script
// gives none or one below 1.
int animationFrameRate(int scriptFramesPerSecond);

}  // namespace shell
