#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "vec3.h"

namespace engine {

class FrameBuffer;

// Where the camera statement of a script lies. Offsets count characters from
// the start of the text; an argument range runs from the first character after
// "(" to the closing ")" (exclusive).
struct CameraStatementLocation {
  std::optional<size_t> cameraEnd;  // last character of the word "camera"
  std::optional<size_t> positionBegin, positionEnd;
  std::optional<size_t> directionBegin, directionEnd;

  bool hasPosition() const { return positionBegin && positionEnd; }
  bool hasDirection() const { return directionBegin && directionEnd; }
};

// Scans a script from offset `from` for its camera statement with rules of
// its own, independent of the language's lexer: comments and string literals
// are skipped, words inside parentheses are ignored, and the first unknown
// word after "camera" ends the scan.
CameraStatementLocation locateCameraStatement(const std::string& text, size_t from = 0);

// Puts new argument texts into the camera statement of `text` found from
// offset `from`, as replaceCameraArguments below does for a frame buffer's
// script, without announcing the change.
bool replaceCameraArgumentsIn(std::string& text, size_t from, const std::string& position,
                              const std::string* direction, std::string& oldPosition,
                              std::string& oldDirection);

// Argument texts of a camera position (17 significant digits) and direction (4).
std::string cameraPositionText(const Vec3& position);
std::string cameraDirectionText(const Vec3& direction);

// Logs a camera write-back on std::cout so that the user can restore the old
// values: "camera changed:" when the direction was written too, else
// "camera position changed:", then the old argument texts that were there.
void logCameraChange(bool withDirection, const std::string& oldPosition,
                     const std::string& oldDirection);

// Puts new argument texts into the camera statement of the frame buffer's
// script that the build executed (found from cameraStatementOffset): the
// position always, the direction when given. Absent parts are inserted. The
// old argument texts are returned (empty when absent). False when the script
// has no camera statement; then the text is unchanged.
bool replaceCameraArguments(FrameBuffer& frameBuffer, const std::string& position,
                            const std::string* direction, std::string& oldPosition,
                            std::string& oldDirection);

// Writes an automatically placed camera back into the script and logs the old
// values on std::cout. Scripts that save frames are never rewritten.
bool cameraChanged(FrameBuffer& frameBuffer, const Vec3& position, const Vec3& direction);

// Writes a moved camera position back into the script and logs the old value.
bool cameraPositionChanged(FrameBuffer& frameBuffer, const Vec3& position);

}  // namespace engine
