#include "camera_text.h"

#include <iostream>
#include <sstream>
#include <string_view>

#include "frame_buffer.h"

namespace engine {

namespace {

enum class CameraPart { None, Camera, Position, Direction, Vertical, Fov, Stereo };

bool isWordStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isWordChar(char c) {
  return isWordStart(c) || (c >= '0' && c <= '9');
}

CameraPart partNamed(std::string_view word) {
  if (word == "camera") return CameraPart::Camera;
  if (word == "position") return CameraPart::Position;
  if (word == "direction") return CameraPart::Direction;
  if (word == "vertical") return CameraPart::Vertical;
  if (word == "fov") return CameraPart::Fov;
  if (word == "stereo") return CameraPart::Stereo;
  return CameraPart::None;
}

std::string formatVector(const Vec3& v, int precision) {
  std::ostringstream out;
  out.precision(precision);
  out << v.x << ',' << v.y << ',' << v.z;
  return out.str();
}

std::string argumentText(const std::string& text, const std::optional<size_t>& begin,
                         const std::optional<size_t>& end) {
  if (!begin || !end || *end < *begin) return {};
  return text.substr(*begin, *end - *begin);
}

// Just after the string literal that opens at `open`: a backslash keeps the
// quote after it in the literal. The text's end when the literal is open.
size_t stringLiteralEnd(const std::string& text, size_t open) {
  const char quote = text[open];
  for (size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == quote)
      ++i;
    else if (text[i] == quote)
      return i + 1;
  }
  return text.size();
}

void announceTextChange(FrameBuffer& frameBuffer) {
  if (frameBuffer.textChanged) frameBuffer.textChanged();
}

}  // namespace

CameraStatementLocation locateCameraStatement(const std::string& text, size_t from) {
  CameraStatementLocation found;
  CameraPart part = CameraPart::None;
  int depth = 0;
  const size_t n = text.size();
  size_t i = from;
  while (i < n) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      i = stringLiteralEnd(text, i);
    } else if (c == '(') {
      if (depth == 0 && part == CameraPart::Position) {
        found.positionBegin = i + 1;
        found.positionEnd.reset();
      } else if (depth == 0 && part == CameraPart::Direction) {
        found.directionBegin = i + 1;
        found.directionEnd.reset();
      }
      ++depth;
      ++i;
    } else if (c == ')') {
      --depth;
      if (depth < 0) {
        found.positionBegin.reset();
        found.positionEnd.reset();
        break;
      }
      if (depth == 0 && part == CameraPart::Position) found.positionEnd = i;
      if (depth == 0 && part == CameraPart::Direction) found.directionEnd = i;
      ++i;
    } else if (c == '#' || (c == '/' && i + 1 < n && text[i + 1] == '/')) {
      i = text.find_first_of("\r\n", i);
      if (i == std::string::npos) break;
    } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      i = text.find("*/", i + 2);
      if (i == std::string::npos) break;
      i += 2;
    } else if (isWordStart(c)) {
      const size_t start = i;
      while (i < n && isWordChar(text[i])) ++i;
      if (depth != 0) continue;
      const CameraPart named = partNamed(std::string_view(text).substr(start, i - start));
      if (named == CameraPart::Camera) {
        part = named;
        found.cameraEnd = i - 1;
      } else if (found.cameraEnd) {
        if (named == CameraPart::None) break;
        part = named;
      }
    } else {
      ++i;
    }
  }
  return found;
}

bool replaceCameraArgumentsIn(std::string& text, size_t from, const std::string& position,
                              const std::string* direction, std::string& oldPosition,
                              std::string& oldDirection) {
  const CameraStatementLocation at = locateCameraStatement(text, from);
  if (!at.cameraEnd) return false;
  const bool hasPosition = at.hasPosition();
  const bool hasDirection = at.hasDirection();
  oldPosition = hasPosition ? argumentText(text, at.positionBegin, at.positionEnd) : "";
  oldDirection = hasDirection ? argumentText(text, at.directionBegin, at.directionEnd) : "";

  const size_t afterCamera = *at.cameraEnd + 1;
  // The direction part goes after the position part when it has to be inserted.
  size_t directionAt = hasDirection  ? *at.directionBegin
                       : hasPosition ? *at.positionEnd + 1
                                     : afterCamera;

  // Position edit: [editAt, editAt + removed) becomes `inserted`.
  size_t editAt, removed;
  std::string inserted;
  if (oldPosition.empty()) {
    editAt = afterCamera;
    removed = 0;
    inserted = " position(" + position + ")";
  } else {
    editAt = *at.positionBegin;
    removed = oldPosition.size();
    inserted = position;
  }
  text.replace(editAt, removed, inserted);

  if (direction) {
    if (directionAt >= editAt + removed) directionAt = directionAt - removed + inserted.size();
    if (oldDirection.empty())
      text.insert(directionAt, " direction(" + *direction + ")");
    else
      text.replace(directionAt, oldDirection.size(), *direction);
  }
  return true;
}

bool replaceCameraArguments(FrameBuffer& frameBuffer, const std::string& position,
                            const std::string* direction, std::string& oldPosition,
                            std::string& oldDirection) {
  if (!replaceCameraArgumentsIn(frameBuffer.scriptText, frameBuffer.cameraStatementOffset, position,
                                direction, oldPosition, oldDirection))
    return false;
  announceTextChange(frameBuffer);
  return true;
}

std::string cameraPositionText(const Vec3& position) {
  return formatVector(position, 17);
}

std::string cameraDirectionText(const Vec3& direction) {
  return formatVector(direction, 4);
}

void logCameraChange(bool withDirection, const std::string& oldPosition,
                     const std::string& oldDirection) {
  std::cout << (withDirection ? "camera changed:\n" : "camera position changed:\n");
  if (!oldPosition.empty()) std::cout << "old position(" << oldPosition << ")\n";
  if (withDirection && !oldDirection.empty())
    std::cout << "old direction(" << oldDirection << ")\n";
  std::cout.flush();
}

bool cameraChanged(FrameBuffer& frameBuffer, const Vec3& position, const Vec3& direction) {
  if (frameBuffer.savesFrames) return false;
  const std::string directionText = cameraDirectionText(direction);
  std::string oldPosition, oldDirection;
  const bool replaced = replaceCameraArguments(frameBuffer, cameraPositionText(position),
                                               &directionText, oldPosition, oldDirection);
  logCameraChange(true, oldPosition, oldDirection);
  return replaced;
}

bool cameraPositionChanged(FrameBuffer& frameBuffer, const Vec3& position) {
  std::string oldPosition, oldDirection;
  const bool replaced = replaceCameraArguments(frameBuffer, cameraPositionText(position), nullptr,
                                               oldPosition, oldDirection);
  logCameraChange(false, oldPosition, oldDirection);
  return replaced;
}

}  // namespace engine
