#include "script_update.h"

#include <algorithm>
#include <optional>

#include "engine/camera_text.h"
#include "engine/frame_buffer.h"

namespace cli {

namespace {

// The characters between the parentheses of a camera part; empty when the
// part is absent.
std::string argumentText(const std::string& text, const std::optional<size_t>& begin,
                         const std::optional<size_t>& end) {
  if (!begin || !end || *end < *begin) return {};
  return text.substr(*begin, *end - *begin);
}

struct CameraArguments {
  std::string position, direction;
};

CameraArguments cameraArguments(const std::string& text, size_t from) {
  const engine::CameraStatementLocation at = engine::locateCameraStatement(text, from);
  return {argumentText(text, at.positionBegin, at.positionEnd),
          argumentText(text, at.directionBegin, at.directionEnd)};
}

// The file offset of a text offset: line for line the two hold the same
// characters, only the line breaks differ.
size_t fileOffset(const std::string& fileBytes, const std::string& text, size_t textOffset) {
  textOffset = std::min(textOffset, text.size());
  const size_t lineStart = textOffset == 0 ? 0 : text.rfind('\n', textOffset - 1) + 1;
  const auto line = std::count(text.begin(), text.begin() + std::ptrdiff_t(lineStart), '\n');
  size_t fileLineStart = 0;
  for (auto i = line; i > 0 && fileLineStart < fileBytes.size(); --i) {
    const size_t end = fileBytes.find('\n', fileLineStart);
    fileLineStart = end == std::string::npos ? fileBytes.size() : end + 1;
  }
  return std::min(fileLineStart + (textOffset - lineStart), fileBytes.size());
}

}  // namespace

std::string carryCameraEdit(const std::string& fileBytes, const std::string& before,
                            const std::string& after, size_t cameraOffset) {
  const CameraArguments was = cameraArguments(before, cameraOffset),
                        now = cameraArguments(after, cameraOffset);
  const bool positionChanged = now.position != was.position;
  const bool directionChanged = now.direction != was.direction;
  if (!positionChanged && !directionChanged) return fileBytes;
  // The file's camera statement lies where the text's does, line breaks
  // aside: an unchanged part is put back as the file writes it.
  engine::FrameBuffer file;
  file.scriptText = fileBytes;
  file.cameraStatementOffset = fileOffset(fileBytes, before, cameraOffset);
  const std::string position =
      positionChanged ? now.position
                      : cameraArguments(fileBytes, file.cameraStatementOffset).position;
  std::string oldPosition, oldDirection;
  engine::replaceCameraArguments(file, position, directionChanged ? &now.direction : nullptr,
                                 oldPosition, oldDirection);
  return file.scriptText;
}

}  // namespace cli
