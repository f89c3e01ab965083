#include "shell/ui_language_file.h"

#include <sstream>

#include <gtest/gtest.h>

namespace shell {
namespace {

UiLanguageFile languageOf(const std::string& text) {
  std::istringstream in(text);
  UiLanguageFile file;
  file.read(in);
  return file;
}

TEST(UiLanguageFile, LinesAndTheirValues) {
  const struct {
    const char* text;
    const char* key;    // none: the file holds nothing
    const char* value;  // none: the key has no value
  } cases[] = {
      // The key runs to the first "=", blanks included; then "=", blanks and
      // tabs are skipped.
      {"MENU.FILE =Файл\n", "MENU.FILE ", "Файл"},
      {"MENU.FILE =Файл\n", "MENU.FILE", nullptr},
      {"  \t MENU.EDIT==  \t=Правка\r\n", "MENU.EDIT", "Правка"},
      // Comments and lines without "=" are ignored.
      {"# MENU.A=1\n  ; MENU.B=2\n\t// MENU.C=3\nno equals sign\n\n\r\n", nullptr, nullptr},
      // Quotes go only when both ends have them.
      {"A=\"  padded \"\n", "A", "  padded "},
      {"D=\"x\" \n", "D", "\"x\" "},  // the trailing blank stays, so do the quotes
      // Escapes are replaced one pass after another.
      {"A=one\\ttwo\\nthree\n", "A", "one\ttwo\nthree"},
      {"D=\\\\\\\\n\n", "D", "\\\\\n"},        // "\\\\n": "\n" is found across the pairs
      {"K=first\nK=second\n", "K", "second"},  // later keys replace earlier ones
  };
  for (const auto& c : cases) {
    const UiLanguageFile file = languageOf(c.text);
    if (!c.key) {
      EXPECT_TRUE(file.empty()) << c.text;
    } else {
      EXPECT_EQ(file.find(c.key), c.value ? std::optional<std::string>(c.value) : std::nullopt)
          << c.text;
    }
  }
}

}  // namespace
}  // namespace shell
