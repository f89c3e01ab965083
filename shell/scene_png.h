#pragma once

// A PNG image written by the program carries the scene it shows: the script
// text, the random state at the start of its build and the image size, so
// that the picture alone can be built again.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/png_writer.h"
#include "engine/random_state.h"

namespace engine {
class FrameBuffer;
struct PngImage;
}  // namespace engine

namespace shell {

inline constexpr char kScriptKey[] = "Zentarel3d-Script";
inline constexpr char kRandomStateKey[] = "Zentarel3d-RandomState";
inline constexpr char kSizeKey[] = "Zentarel3d-Size";

struct ImageSize {
  uint32_t width = 0, height = 0;
  bool operator==(const ImageSize&) const = default;
};

// The script and what its build started from.
struct SceneScript {
  std::string text;  // as a document holds it: every line ending in "\r\n"
  std::optional<engine::RandomState> randomState;
  std::optional<ImageSize> size;
  bool fromPng = false;  // carried by a PNG file, which is no script to write back
};

// The chunks that carry the frame's scene: its script (UTF-8; a script that
// is no UTF-8 is taken as Latin-1), the random state of the last build's
// start and the image size.
std::vector<engine::PngText> sceneTexts(const engine::FrameBuffer& frame);

// The scene that the chunks of a PNG file carry; nothing when they hold no
// script.
std::optional<SceneScript> sceneIn(const engine::PngImage& image);

// The scene that a PNG file carries; nothing, with the reason in `error`,
// when the bytes are no PNG file or it carries no script.
std::optional<SceneScript> readPngScene(std::string_view bytes, std::string& error);

}  // namespace shell
