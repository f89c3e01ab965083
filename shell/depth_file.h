#pragma once

#include <filesystem>
#include <string>

namespace engine {
class FrameBuffer;
}

namespace shell {

// Writes the frame buffer's depth buffer (the renderer's distance along each
// pixel's ray, +infinity where nothing was hit) as a single-channel 32-bit
// float OpenEXR image with a "Z" channel, top row first, for compositing in
// other programs; in full or not at all (see AtomicFile). Empty when
// written, else the reason.
std::string writeDepthExr(const engine::FrameBuffer& frame, const std::filesystem::path& path);

}  // namespace shell
