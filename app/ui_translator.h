#pragma once

#include <QList>
#include <QString>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "shell/ui_language_file.h"

class QDialog;
class QMenu;

namespace app {

// The Russian texts of the menus and dialogs, from the language file among
// the run-time files. One exists while the program runs on a system that asks for
// Russian; the dialogs translate themselves with it when they open.
class UiTranslator {
 public:
  // Reads the language file of `directory` (none there: nothing translates)
  // and serves the dialogs opened while this translator exists.
  explicit UiTranslator(const std::filesystem::path& directory);
  ~UiTranslator();
  UiTranslator(const UiTranslator&) = delete;
  UiTranslator& operator=(const UiTranslator&) = delete;

  // A translator when the system asks for Russian, else none.
  static std::unique_ptr<UiTranslator> forSystem(const std::filesystem::path& directory);
  // The translator the dialogs use; null when there is none.
  static const UiTranslator* current();

  // Retitles the menus of a menu bar, paired with `names` by position, and
  // translates their commands; the Samples menu keeps its items, the first
  // item of the Build menu (the Image Size submenu) is retitled and translated.
  void translateMenuBar(const QList<QMenu*>& menus, std::span<const std::string_view> names) const;
  // Translates the caption, push buttons and text labels of a dialog named by
  // its object name. Controls are identified by their "controlId" property;
  // the OK and Cancel buttons of a button box are 1 and 2.
  void translateDialog(QDialog& dialog) const;
  // A dialog's own call at its initialisation: translated when a translator
  // exists.
  static void translateOnInit(QDialog& dialog);

 private:
  void translateItems(QMenu* menu) const;
  // The language file is UTF-8 here and in the ANSI code page on Windows.
  static QString decode(const std::string& text);
  static std::string encode(const QString& text);

  shell::UiLanguageFile file_;
};

}  // namespace app
