#include "script_file.h"

#include <sstream>

#include "engine/png_reader.h"
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

std::optional<SceneScript> sceneScriptOf(const std::string& bytes, std::string& error) {
  if (engine::hasPngSignature(bytes)) return readPngScene(bytes, error);
  std::istringstream in(bytes);
  return SceneScript{readScriptText(in), std::nullopt, std::nullopt, false};
}

std::optional<SceneScript> readScriptFile(const std::string& path, std::string& error) {
  const LimitedRead file = readFileLimited(pathFromUtf8(path));
  if (!file.ok()) {
    error = file.tooLarge ? "script too large" : file.error;
    return std::nullopt;
  }
  return sceneScriptOf(file.bytes, error);
}

}  // namespace shell
