#pragma once

#include <istream>
#include <optional>
#include <string>

namespace shell {

// Reads one line of 8-bit text without its line break, as a text-mode read
// gives it: a carriage return before the line feed belongs to the break.
// False at the end of the stream.
bool readTextLine(std::istream& in, std::string& line);

// Reads a scene script the way a document loads it: line by line, every line
// (also a last one without a line break) followed by "\r\n". A carriage return
// before a line feed belongs to the line break, as in a text-mode read.
std::string readScriptText(std::istream& in);
// The same from a file; nothing when it cannot be read or is larger than
// kInputLimit.
std::optional<std::string> readScriptFile(const std::string& path);

}  // namespace shell
