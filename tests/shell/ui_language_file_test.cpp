#include "shell/ui_language_file.h"

#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "shell/system_language.h"
#include "shell/ui_identifiers.h"
#include "test_files.h"

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
      {"# MENU.A=1\n", nullptr, nullptr},
      {"  ; MENU.B=2\n", nullptr, nullptr},
      {"\t// MENU.C=3\n", nullptr, nullptr},
      {"no equals sign\n\n\r\n", nullptr, nullptr},
      {"/ MENU.D=4\n", "/ MENU.D", "4"},
      // Quotes go only when both ends have them.
      {"A=\"  padded \"\n", "A", "  padded "},
      {"B=\"open\n", "B", "\"open"},
      {"C=close\"\n", "C", "close\""},
      {"D=\"x\" \n", "D", "\"x\" "},  // the trailing blank stays, so do the quotes
      {"E=\"\n", "E", "\""},
      {"F=\"\"\n", "F", ""},
      {"G=trailing  \n", "G", "trailing  "},
      // Escapes are replaced one pass after another.
      {"A=one\\ttwo\\nthree\n", "A", "one\ttwo\nthree"},
      {"B=C:\\\\dir\n", "B", "C:\\dir"},
      {"C=x\\\\ty\n", "C", "x\\\ty"},          // "\t" goes first: a backslash, then a tab
      {"D=\\\\\\\\n\n", "D", "\\\\\n"},        // "\\\\n": "\n" is found across the pairs
      {"K=first\nK=second\n", "K", "second"},  // later keys replace earlier ones
  };
  for (const auto& c : cases) {
    const UiLanguageFile file = languageOf(c.text);
    if (!c.key) {
      EXPECT_TRUE(file.empty()) << c.text;
    } else if (!c.value) {
      EXPECT_FALSE(file.find(c.key)) << c.text;
    } else {
      EXPECT_EQ(file.find(c.key), c.value) << c.text;
    }
  }
}

TEST(UiLanguageFile, ALineLongerThan2047CharactersEndsTheReading) {
  bool readToEnd = false;
  const std::string longest = "K=" + std::string(2045, 'v');
  UiLanguageFile file = languageOf("A=1\n" + longest + "\nB=2\n", &readToEnd);
  EXPECT_TRUE(readToEnd);
  EXPECT_EQ(file.find("K")->size(), 2045u);
  EXPECT_EQ(file.find("B"), "2");

  file = languageOf("A=1\n" + longest + "v\nB=2\n", &readToEnd);
  EXPECT_FALSE(readToEnd);
  EXPECT_EQ(file.find("A"), "1");
  EXPECT_FALSE(file.find("K"));
  EXPECT_FALSE(file.find("B"));
}

TEST(UiLanguageFile, LoadsFromTheDirectory) {
  testing::TempDir dir;
  UiLanguageFile file;
  EXPECT_FALSE(file.load(dir.path()));
  EXPECT_TRUE(file.empty());
  dir.write("lang_ru.txt", "ABOUTBOX.CAPTION=О программе");
  EXPECT_TRUE(file.load(dir.path()));
  EXPECT_EQ(file.lookup("ABOUTBOX", "", "About"), "О программе");
}

TEST(UiLanguageFile, LookupsFallBackToTheirDefaults) {
  const UiLanguageFile file = languageOf(
      "MENU.BUILD_FRACTAL=Построить\n"
      "MENU.OUTPUTLOG_EDIT=first name\n"
      "MENU.EDIT3=second name\n");
  EXPECT_EQ(file.lookup("MENU", "BUILD_FRACTAL", "Build"), "Построить");
  EXPECT_EQ(file.lookup("MENU", "BUILD_STOP", "Stop"), "Stop");
  EXPECT_EQ(file.lookupById("MENU", 32800, "Build"), "Построить");
  EXPECT_EQ(file.lookupById("MENU", 1014, "x"), "first name");  // 1014 is OUTPUTLOG_EDIT
  EXPECT_EQ(file.lookupById("MENU", 4242, "unnamed"), "unnamed");
}

TEST(UiLanguageFile, MenuItemKeepsTabAndShortcut) {
  const UiLanguageFile file = languageOf(
      "MENU.BUILD_FRACTAL=&Построить\n"
      "MENU.FILE_NEW=&Новый\n"
      "MENU.FILE_RECENT=Недавний\n"
      "MENU.BITMAPSIZE_320X240=320 на 240\n"
      "MENU.BITMAPSIZE_CUSTOM_SIZE=&Другой\n");
  EXPECT_EQ(file.menuItemText(32800, "&Build Fractal\tF7"), "&Построить\tF7");
  EXPECT_EQ(file.menuItemText(57600, "&New"), "&Новый");
  EXPECT_EQ(file.menuItemText(57616, "1 scene.ifs"), "1 scene.ifs");  // recent files
  EXPECT_EQ(file.menuItemText(32793, "320x240"), "320x240");          // fixed sizes
  EXPECT_EQ(file.menuItemText(32797, "&Custom Size"), "&Другой");
  EXPECT_EQ(file.menuItemText(32806, "&Stop Building\tShift-F7"), "&Stop Building\tShift-F7");
  EXPECT_EQ(file.menuItemText(0, "separator"), "separator");
}

TEST(UiLanguageFile, DialogItemsTryTheDialogFirstThenTheItemAlone) {
  const UiLanguageFile file = languageOf(
      "SIZE_DIALOG.OK=Принять\n"
      "OK=Да\n"
      "CANCEL=Отмена\n"
      "ABOUTBOX.URL_LABEL=сайт\n");
  EXPECT_EQ(file.dialogItemText("SIZE_DIALOG", 1), "Принять");
  EXPECT_EQ(file.dialogItemText("ABOUTBOX", 1), "Да");
  EXPECT_EQ(file.dialogItemText("SIZE_DIALOG", 2), "Отмена");
  EXPECT_EQ(file.dialogItemText("ABOUTBOX", 1015), "сайт");
  EXPECT_FALSE(file.dialogItemText("ABOUTBOX", 1016));  // named, not translated
  EXPECT_FALSE(file.dialogItemText("ABOUTBOX", 1011));  // no name
  EXPECT_FALSE(file.dialogItemText("ABOUTBOX", 0));
  EXPECT_FALSE(file.dialogItemText("ABOUTBOX", -1));
}

TEST(UiIdentifiers, TableHasItsRowsAndFirstNamesWin) {
  const auto table = uiIdentifierTable();
  ASSERT_EQ(table.size(), 48u);
  std::set<std::string_view> names;
  for (const UiIdentifier& row : table) {
    EXPECT_FALSE(row.name.empty());
    EXPECT_TRUE(names.insert(row.name).second) << row.name;
  }
  EXPECT_EQ(table.front().name, "HAND_CURSOR");
  EXPECT_EQ(table.back().name, "HELP_ABOUT");
  EXPECT_EQ(uiIdentifierName(1014), "OUTPUTLOG_EDIT");
  EXPECT_EQ(uiIdentifierName(57606), "FILE_PRINT_SETUP");
  EXPECT_EQ(uiIdentifierName(34000), "SAMPLES_FIRSTSAMPLE");
  EXPECT_FALSE(uiIdentifierName(1));
}

TEST(SystemLanguage, TheFirstSetLocaleVariableDecides) {
  EXPECT_TRUE(localeAsksForRussian(nullptr, nullptr, "ru_RU.UTF-8"));
  EXPECT_TRUE(localeAsksForRussian("", "ru_UA.KOI8-U", "en_US.UTF-8"));
  EXPECT_FALSE(localeAsksForRussian("C", "ru_RU.UTF-8", "ru_RU.UTF-8"));
  EXPECT_FALSE(localeAsksForRussian(nullptr, "en_GB", "ru_RU"));
  EXPECT_FALSE(localeAsksForRussian(nullptr, nullptr, nullptr));
  EXPECT_FALSE(localeAsksForRussian(nullptr, nullptr, "uk_UA"));
}

}  // namespace
}  // namespace shell
