#pragma once

#include <string>

namespace engine {

class FrameBuffer;

// Writes a 24-bit image as an RGB PNG file, top row first; false when there
// is no such image or the file cannot be written.
bool savePng(const FrameBuffer& frame, const std::string& fileName);

}  // namespace engine
