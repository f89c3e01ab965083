#include "shell/ui_language_file.h"

#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "shell/system_language.h"
#include "shell/ui_identifiers.h"

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
      {"MENU.VIEW=a=b\n", "MENU.VIEW", "a=b"},
      // Comments and lines without "=" are ignored; a single slash starts no comment.
      {"# MENU.A=1\n  ; MENU.B=2\n\t// MENU.C=3\nno equals sign\n\n\r\n", nullptr, nullptr},
      {"/ MENU.D=4\n", "/ MENU.D", "4"},
      // Quotes go only when both ends have them.
      {"A=\"  padded \"\n", "A", "  padded "},
      {"B=\"open\n", "B", "\"open"},
      {"D=\"x\" \n", "D", "\"x\" "},  // the trailing blank stays, so do the quotes
      {"E=\"\n", "E", "\""},
      // Escapes are replaced one pass after another.
      {"A=one\\ttwo\\nthree\n", "A", "one\ttwo\nthree"},
      {"C=x\\\\ty\n", "C", "x\\\ty"},          // "\t" goes first: a backslash, then a tab
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
  bool readToEnd = false;
  const std::string longest = "K=" + std::string(2045, 'v');
  EXPECT_EQ(languageOf("A=1\n" + longest + "\nB=2\n", &readToEnd).find("B"), "2");
  EXPECT_TRUE(readToEnd);
  const UiLanguageFile file = languageOf("A=1\n" + longest + "v\nB=2\n", &readToEnd);
  EXPECT_FALSE(readToEnd);
  EXPECT_EQ(file.find("A"), "1");
  EXPECT_FALSE(file.find("K") || file.find("B"));
}

// Menu items by their identifier's first name, keeping the shortcut after a
// tab; recent files and fixed sizes keep their texts; dialog items under the
// dialog's name first, then alone.
TEST(UiLanguageFile, LookupsOfMenuAndDialogItems) {
  const UiLanguageFile file = languageOf(
      "MENU.BUILD_FRACTAL=&Построить\nMENU.OUTPUTLOG_EDIT=first name\nMENU.EDIT3=second name\n"
      "MENU.FILE_RECENT=Недавний\nMENU.BITMAPSIZE_320X240=320 на 240\nSIZE_DIALOG.OK=Принять\n"
      "OK=Да\nABOUTBOX.URL_LABEL=сайт\n");
  EXPECT_EQ(file.lookupById("MENU", 1014, "x"), "first name");  // 1014 is OUTPUTLOG_EDIT
  EXPECT_EQ(file.lookupById("MENU", 4242, "unnamed"), "unnamed");
  EXPECT_EQ(file.menuItemText(32800, "&Build Fractal\tF7"), "&Построить\tF7");
  EXPECT_EQ(file.menuItemText(57616, "1 scene.ifs"), "1 scene.ifs");
  EXPECT_EQ(file.menuItemText(32793, "320x240"), "320x240");
  EXPECT_EQ(file.dialogItemText("SIZE_DIALOG", 1), "Принять");
  EXPECT_EQ(file.dialogItemText("ABOUTBOX", 1), "Да");
  EXPECT_EQ(file.dialogItemText("ABOUTBOX", 1015), "сайт");
  for (int untranslated : {1016, 1011, 0, -1}) {  // named, unnamed, none
    EXPECT_FALSE(file.dialogItemText("ABOUTBOX", untranslated)) << untranslated;
  }
}

TEST(UiIdentifiers, NamesAreUniqueAndFound) {
  std::set<std::string_view> names;
  for (const UiIdentifier& row : uiIdentifierTable()) {
    EXPECT_TRUE(!row.name.empty() && names.insert(row.name).second) << row.name;
  }
  EXPECT_EQ(names.size(), 48u);
  EXPECT_EQ(uiIdentifierName(57606), "FILE_PRINT_SETUP");
  EXPECT_EQ(uiIdentifierName(34000), "SAMPLES_FIRSTSAMPLE");
  EXPECT_FALSE(uiIdentifierName(1));
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
