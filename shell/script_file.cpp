#include "script_file.h"

#include <fstream>

namespace shell {

std::string readScriptText(std::istream& in) {
  std::string text, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
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
