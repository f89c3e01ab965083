#pragma once

#include <string>

namespace shell::testing {

// Every frame of a video file decoded in this process by the FFmpeg libraries
// the program links, to bgr24 bytes, top row first, rows unpadded; empty when
// the file cannot be read. Unlike the ffmpeg tool, it is there on Windows too.
std::string decodedFrames(const std::string& file);

}  // namespace shell::testing
