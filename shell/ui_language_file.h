#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

inline constexpr const char* kLanguageFileName = "lang_ru.txt";
// A longer line ends the reading of a language file.
inline constexpr size_t kMaxLanguageLineLength = 2047;

// Top-level menu names of the language file, by position: the main window's
// menu without a document and the menu with one.
inline constexpr std::array<std::string_view, 4> kMainMenuNames = {"FILE", "VIEW", "SAMPLES",
                                                                   "HELP"};
inline constexpr std::array<std::string_view, 7> kDocumentMenuNames = {
    "FILE", "EDIT", "VIEW", "BUILD", "SAMPLES", "WINDOW", "HELP"};

// Translations of the menus and dialogs from a language file of lines
//   CONTEXT.ITEM = value
// where the context is "MENU" or a dialog's name and the item a name of the
// identifier table ("CAPTION", "OK" and "CANCEL" for dialogs). Comments start
// with "#", ";" or "//". A value in double quotes loses them; "\t", "\n" and
// "\\" in a value become a tab, a line feed and a backslash.
class UiLanguageFile {
 public:
  // Reads kLanguageFileName from the directory; true when it was read to its
  // end. A missing file leaves no translations.
  bool load(const std::filesystem::path& directory);
  // Adds the translations of the lines; a later key replaces an earlier one.
  // False when a line longer than kMaxLanguageLineLength ended the reading
  // (the lines before it stay).
  bool read(std::istream& in);

  bool empty() const { return translations_.empty(); }
  std::optional<std::string> find(std::string_view key) const;
  // The value of "context.item" ("context.CAPTION" without an item), or the
  // fallback.
  std::string lookup(std::string_view context, std::string_view item,
                     std::string_view fallback) const;
  // lookup with the identifier's name; the fallback for an unnamed identifier.
  std::string lookupById(std::string_view context, int id, std::string_view fallback) const;

  // The text of a menu command: its translation followed by the tab and
  // shortcut of the current text, or the current text when there is none.
  // The recent files and the fixed image sizes keep their texts.
  std::string menuItemText(int id, const std::string& text) const;
  // The text of a dialog's button or label: "dialog.item", else the item
  // alone, where item 1 is "OK", item 2 "CANCEL", others the identifier's
  // name. Nothing when there is no translation.
  std::optional<std::string> dialogItemText(std::string_view dialog, int id) const;

 private:
  std::map<std::string, std::string, std::less<>> translations_;
};

}  // namespace shell
