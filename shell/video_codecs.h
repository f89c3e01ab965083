#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shell {

// A codec that the video writer can put into an AVI file.
struct VideoCodecInfo {
  std::string name;         // the encoder's name, as passed to VideoWriter::open
  std::string description;  // for menus and --help texts
  bool takesQuality = false;
};

inline constexpr const char* kDefaultVideoCodec = "rawvideo";
// Quality runs from 1 (smallest file) to 100 (best image).
inline constexpr int kDefaultVideoQuality = 75;

// The codecs this FFmpeg build can encode into AVI, the default first.
std::vector<VideoCodecInfo> availableVideoCodecs();
// The available codec of that name, or nothing.
std::optional<VideoCodecInfo> findVideoCodec(const std::string& name);

// The frame rate of an animation: the script's own, or 15 when the script
// gives none or one below 1.
int animationFrameRate(int scriptFramesPerSecond);

}  // namespace shell
