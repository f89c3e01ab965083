#pragma once

#include <QString>
#include <string>

namespace app {

// Script files are 8-bit text with "\r\n" line ends; the editor holds Unicode
// text with "\n". Text that is valid UTF-8 is read as UTF-8, anything else
// byte for byte as Latin-1, and written back the way it was read, so a file
// that is only loaded and saved keeps its bytes.
class ScriptCodec {
 public:
  QString toEditor(const std::string& script);
  std::string fromEditor(const QString& text) const;

 private:
  bool utf8_ = true;
};

}  // namespace app
