#pragma once

#include <istream>
#include <optional>
#include <string>

namespace shell {

// Reads a scene script the way a document loads it: line by line, every line
// (also a last one without a line break) followed by "\r\n". A carriage return
// before a line feed belongs to the line break, as in a text-mode read.
std::string readScriptText(std::istream& in);
// The same from a file; nothing when it cannot be opened.
std::optional<std::string> readScriptFile(const std::string& path);

}  // namespace shell
