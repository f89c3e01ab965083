#pragma once

// A horizontal band of an image as a PNG file that records its place in the
// full image, so that bands rendered apart can be joined again.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/scene_png.h"

namespace engine {
class FrameBuffer;
}

namespace cli {

// Where a band lies: its first row (from the top) in a full image of
// fullWidth x fullHeight pixels; the band is fullWidth wide.
struct BandPlace {
  uint32_t top = 0, fullWidth = 0, fullHeight = 0;
};

// A band read back: its place, its rows, top first, 3 bytes a pixel (RGB),
// and the scene of the full image.
struct ImageBand {
  BandPlace place;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;
  std::optional<shell::SceneScript> scene;
};

// Writes the rows of the frame's last band render (frame.bandTop,
// frame.bandHeight) as a PNG band that carries the scene, in full or not at all; empty when
// written, else the reason.
std::string saveBandPng(const engine::FrameBuffer& frame, const std::string& fileName);

// Reads a PNG band; nothing, with the reason in `error`, when the file cannot
// be read or is not a band.
std::optional<ImageBand> readBandPng(const std::string& fileName, std::string& error);

}  // namespace cli
