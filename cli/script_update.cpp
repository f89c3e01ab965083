#include "script_update.h"

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

CameraArguments cameraArguments(const std::string& text) {
  const engine::CameraStatementLocation at = engine::locateCameraStatement(text);
  return {argumentText(text, at.positionBegin, at.positionEnd),
          argumentText(text, at.directionBegin, at.directionEnd)};
}

}  // namespace

std::string carryCameraEdit(const std::string& fileBytes, const std::string& before,
                            const std::string& after) {
  const CameraArguments was = cameraArguments(before), now = cameraArguments(after);
  const bool positionChanged = now.position != was.position;
  const bool directionChanged = now.direction != was.direction;
  if (!positionChanged && !directionChanged) return fileBytes;
  // The file's camera statement lies where the text's does, line breaks
  // aside: an unchanged part is put back as the file writes it.
  engine::FrameBuffer file;
  file.scriptText = fileBytes;
  const std::string position = positionChanged ? now.position : cameraArguments(fileBytes).position;
  std::string oldPosition, oldDirection;
  engine::replaceCameraArguments(file, position, directionChanged ? &now.direction : nullptr,
                                 oldPosition, oldDirection);
  return file.scriptText;
}

}  // namespace cli
