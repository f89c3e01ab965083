#include "script_file.h"

#include <fstream>

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
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return readScriptText(in);
}

}  // namespace shell
