#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace engine {
class FrameBuffer;
}

namespace cli {

enum class ImageFormat { Bmp, Png };

// The format that a file name's extension asks for: ".bmp" or ".png", in
// any letter case; nothing for any other name.
std::optional<ImageFormat> imageFormatOf(std::string_view fileName);

// Writes the frame buffer's image in the format of the file name (BMP unless
// it ends in ".png"); empty when written, else the system's reason, and then
// a file that was there before is unchanged.
std::string saveImage(const engine::FrameBuffer& frame, const std::string& fileName);

}  // namespace cli
