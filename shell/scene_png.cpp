#include "scene_png.h"

#include <charconv>
#include <sstream>

#include "engine/frame_buffer.h"
#include "engine/png_reader.h"
#include "script_file.h"

namespace shell {

namespace {

// The length of the UTF-8 sequence that starts with `lead`; 0 for a byte
// that starts none.
int sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool isUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const int length = sequenceLength(static_cast<unsigned char>(text[i]));
    if (length == 0 || i + length > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// Script files hold UTF-8 or Latin-1 (as the editor reads them); the chunk
// holds UTF-8 with "\n" line ends.
std::string portableScript(std::string_view script) {
  const bool utf8 = isUtf8(script);
  std::string text;
  text.reserve(script.size());
  for (size_t i = 0; i < script.size(); ++i) {
    const auto byte = static_cast<unsigned char>(script[i]);
    if (byte == '\r' && i + 1 < script.size() && script[i + 1] == '\n') continue;
    if (utf8 || byte < 0x80) {
      text += char(byte);
    } else {
      text += char(0xC0 | (byte >> 6));
      text += char(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

template <typename Number>
bool parseWhole(std::string_view text, Number& value) {
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && stop == text.data() + text.size();
}

std::optional<engine::RandomState> randomStateIn(const std::string* text) {
  uint64_t value = 0;
  if (!text || !parseWhole(*text, value) || value > engine::RandomState::kModulusMask)
    return std::nullopt;
  return engine::RandomState::fromValue(value);
}

std::optional<ImageSize> sizeIn(const std::string* text) {
  const size_t x = text ? text->find('x') : std::string::npos;
  ImageSize size;
  if (x == std::string::npos || !parseWhole(std::string_view(*text).substr(0, x), size.width) ||
      !parseWhole(std::string_view(*text).substr(x + 1), size.height) || size.width == 0 ||
      size.height == 0)
    return std::nullopt;
  return size;
}

}  // namespace

std::vector<engine::PngText> sceneTexts(const engine::FrameBuffer& frame) {
  return {
      {kScriptKey, portableScript(frame.scriptText), true},
      {kRandomStateKey, std::to_string(frame.savedRandomState.value())},
      {kSizeKey, std::to_string(frame.width) + "x" + std::to_string(frame.height)},
  };
}

std::optional<SceneScript> sceneIn(const engine::PngImage& image) {
  const std::string* script = image.text(kScriptKey);
  if (!script) return std::nullopt;
  std::istringstream lines(*script);
  return SceneScript{readScriptText(lines), randomStateIn(image.text(kRandomStateKey)),
                     sizeIn(image.text(kSizeKey)), true};
}

std::optional<SceneScript> readPngScene(std::string_view bytes, std::string& error) {
  const std::optional<engine::PngImage> image = engine::readPng(bytes, false, error);
  if (!image) return std::nullopt;
  std::optional<SceneScript> scene = sceneIn(*image);
  if (!scene) error = "the PNG file holds no scene script";
  return scene;
}

}  // namespace shell
