#pragma once

#include <cstdio>

namespace engine {

class FrameBuffer;

// Writes a 24-bit image as an RGB PNG file, top row first, into an open
// stream; false when there is no such image or the stream failed.
bool writePng(const FrameBuffer& frame, std::FILE* file);

}  // namespace engine
