#pragma once

#include <cstddef>
#include <string>

namespace cli {

// The bytes of a script file with the camera arguments that a build wrote
// into the script's text. `before` is the text the build started from (the
// file as a document reads it, its line breaks turned into "\r\n"), `after`
// the text the build left, `cameraOffset` where the camera statement that the
// build executed starts in both. Only the position and direction arguments
// that changed are replaced, so the file keeps its own line breaks and every
// other byte.
std::string carryCameraEdit(const std::string& fileBytes, const std::string& before,
                            const std::string& after, size_t cameraOffset = 0);

}  // namespace cli
