#include "script_file.h"

#include <sstream>

#include "limited_read.h"
#include "platform.h"

namespace shell {

bool readTextLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::string readScriptText(std::istream& in) {
  std::string text, line;
  while (readTextLine(in, line)) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::optional<std::string> readScriptFile(const std::string& path) {
  const LimitedRead file = readFileLimited(pathFromUtf8(path));
  if (!file.ok()) return std::nullopt;
  std::istringstream in(file.bytes);
  return readScriptText(in);
}

}  // namespace shell
