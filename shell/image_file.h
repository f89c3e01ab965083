#pragma once

#include <filesystem>
#include <string>

namespace engine {
class FrameBuffer;
}

namespace shell {

enum class ImageFileFormat { Bmp, Png };

// Writes the frame buffer's image to a BMP or PNG file, in full or not at
// all (see AtomicFile); a PNG file carries the scene (see scene_png.h). Empty when written, else
// the system's reason.
std::string writeImageFile(const engine::FrameBuffer& frame, const std::filesystem::path& path,
                           ImageFileFormat format);

}  // namespace shell
