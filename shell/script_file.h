#pragma once

#include <istream>
#include <optional>
#include <string>

#include "scene_png.h"

namespace shell {

// Reads one line of 8-bit text without its line break, as a text-mode read
// gives it: a carriage return before the line feed belongs to the break.
// False at the end of the stream.
bool readTextLine(std::istream& in, std::string& line);

// Reads a scene script the way a document loads it: line by line, every line
// (also a last one without a line break) followed by "\r\n". A carriage return
// before a line feed belongs to the line break, as in a text-mode read.
std::string readScriptText(std::istream& in);
// A script as a document opens it from a file's bytes: the script text, or
// the scene that a PNG written by the program carries. Nothing, with the
// reason in `error`, for a PNG that carries none.
std::optional<SceneScript> sceneScriptOf(const std::string& bytes, std::string& error);
// The same from a file; nothing, with the reason in `error`, also when it
// cannot be read or is larger than kInputLimit.
std::optional<SceneScript> readScriptFile(const std::string& path, std::string& error);

}  // namespace shell
