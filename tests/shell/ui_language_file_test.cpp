#include "shell/ui_language_file.h"

#include <sstream>

#include <gtest/gtest.h>

#include "shell/system_language.h"

namespace shell {
namespace {

UiLanguageFile languageOf(const std::string& text, bool* readToEnd = nullptr) {
  std::istringstream in(text);
  UiLanguageFile file;
  const bool ended = file.read(in);
  if (readToEnd) *readToEnd = ended;
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

TEST(UiLanguageFile, ALineLongerThan2047CharactersEndsTheReading) {
  bool readToEnd = true;
  const UiLanguageFile file =
      languageOf("A=1\nK=" + std::string(2046, 'v') + "\nB=2\n", &readToEnd);
  EXPECT_FALSE(readToEnd);
  EXPECT_EQ(file.find("A"), "1");
  EXPECT_FALSE(file.find("K") || file.find("B"));
}

TEST(SystemLanguage, TheFirstSetLocaleVariableDecides) {
  EXPECT_TRUE(localeAsksForRussian(nullptr, nullptr, "ru_RU.UTF-8"));
  EXPECT_TRUE(localeAsksForRussian("", "ru_UA.KOI8-U", "en_US.UTF-8"));
  EXPECT_FALSE(localeAsksForRussian("C", "ru_RU.UTF-8", "ru_RU.UTF-8"));
  EXPECT_FALSE(localeAsksForRussian(nullptr, nullptr, nullptr));
  EXPECT_FALSE(localeAsksForRussian(nullptr, nullptr, "uk_UA"));
}

}  // namespace
}  // namespace shell
