// Commands, menus and toolbar of the main window.
#include <QActionGroup>
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "command_ids.h"
#include "fractal_doc.h"
#include "fractal_text_view.h"
#include "main_frame.h"
#include "output_log_bar.h"
#include "shell/ui_language_file.h"
#include "ui_translator.h"

namespace app {

using namespace command;

QAction* CMainFrame::addCommand(int id, const QString& text, const QString& icon) {
  auto* action = new QAction(text, this);
  action->setData(id);
  if (!icon.isEmpty()) action->setIcon(QIcon(":/icons/" + icon + ".png"));
  actions_.insert(id, action);
  return action;
}

void CMainFrame::createActions() {
  addCommand(FILE_NEW, tr("&New"), "new")->setShortcut(QKeySequence("Ctrl+N"));
  addCommand(FILE_OPEN, tr("&Open..."), "open")->setShortcut(QKeySequence("Ctrl+O"));
  addCommand(FILE_CLOSE, tr("&Close"));
  addCommand(FILE_SAVE, tr("&Save"), "save")->setShortcut(QKeySequence("Ctrl+S"));
  addCommand(FILE_SAVE_AS, tr("Save &As..."));
  addCommand(FILE_SAVE_BITMAP_AS, tr("Save &Bitmap As..."), "save_bitmap");
  addCommand(FILE_EXPORT_MESH, tr("Export &Mesh..."));
  addCommand(FILE_PRINT, tr("&Print..."))->setShortcut(QKeySequence("Ctrl+P"));
  addCommand(FILE_PRINT_PREVIEW, tr("Print Pre&view"));
  addCommand(FILE_PRINT_SETUP, tr("P&rint Setup..."));
  addCommand(FILE_EXIT, tr("E&xit"));

  addCommand(EDIT_UNDO, tr("&Undo"))
      ->setShortcuts({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")});
  addCommand(EDIT_CUT, tr("Cu&t"))
      ->setShortcuts({QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")});
  addCommand(EDIT_COPY, tr("&Copy"))
      ->setShortcuts({QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")});
  addCommand(EDIT_PASTE, tr("&Paste"))
      ->setShortcuts({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")});
  addCommand(EDIT_SELECT_ALL, tr("Select &All"))->setShortcut(QKeySequence("Ctrl+A"));
  addCommand(EDIT_FIND, tr("&Find..."))->setShortcut(QKeySequence("Ctrl+F"));
  addCommand(EDIT_REPEAT, tr("Find &Next"))->setShortcut(QKeySequence("F3"));
  addCommand(EDIT_REPLACE, tr("&Replace..."))->setShortcut(QKeySequence("Ctrl+R"));

  addCommand(VIEW_TOOLBAR, tr("&Toolbar"))->setCheckable(true);
  addCommand(VIEW_STATUS_BAR, tr("&Status Bar"))->setCheckable(true);
  addCommand(VIEW_TOOGLE_OUTPUTLOG, tr("&Output Log"), "log")->setCheckable(true);
  addCommand(VIEW_CLEAR_OUTPUTLOG, tr("C&lear Otput Log"));
  addCommand(VIEW_TABBED_DOCUMENTS, tr("T&abbed Documents"))->setCheckable(true);

  addCommand(BITMAPSIZE_VARIABLE, tr("Use &Window Size"));
  addCommand(BITMAPSIZE_CUSTOM_SIZE, tr("&Custom Size"));
  addCommand(BITMAPSIZE_100X100, tr("&100 x 100"));
  addCommand(BITMAPSIZE_320X240, tr("&320 x 240"));
  addCommand(BITMAPSIZE_640X480, tr("&640 x 480"));
  addCommand(BITMAPSIZE_800X600, tr("&800 x 600"));
  addCommand(BITMAPSIZE_1024X768, tr("1&024 x 768"));
  // One size at a time: the choices show as radio items.
  auto* sizes = new QActionGroup(this);
  for (int id = BITMAPSIZE_100X100; id <= BITMAPSIZE_VARIABLE; ++id) {
    action(id)->setCheckable(true);
    sizes->addAction(action(id));
  }
  addCommand(BUILD_FRACTAL, tr("&Build Fractal"), "build")->setShortcut(QKeySequence("F7"));
  addCommand(BUILD_STOP, tr("&Stop Building"), "stop")
      ->setShortcuts({QKeySequence("Shift+F7"), QKeySequence("Ctrl+Pause")});
  addCommand(BUILD_AUTOBUILD, tr("&Auto Build"))->setCheckable(true);
  addCommand(BUILD_PREV_SAMPLE, tr("&Previous Sample"), "previous");
  addCommand(BUILD_NEXT_SAMPLE, tr("&Next Sample"), "next");
  addCommand(SAMPLES_FIRSTSAMPLE, tr("First Sample"));

  addCommand(WINDOW_NEXT, tr("Ne&xt Window"))->setShortcut(QKeySequence("F6"));
  addCommand(WINDOW_CASCADE, tr("&Cascade"));
  addCommand(WINDOW_TILE_HORZ, tr("&Tile"));
  addCommand(WINDOW_ARRANGE, tr("&Arrange Icons"));

  addCommand(HELP, tr("&Help"))->setShortcut(QKeySequence::HelpContents);
  addCommand(HELP_ABOUT, tr("&About Zentarel 3d..."), "about");

  for (int i = 0; i < AppSettings::kRecentFileCount; ++i) {
    recentActions_ << addCommand(FILE_RECENT + i, {});
  }
}

void CMainFrame::createMenus() {
  const auto addMenu = [this](const QString& name, const QString& title,
                              std::initializer_list<int> ids) {
    auto* menu = new QMenu(title, this);
    menu->setObjectName(name);
    for (int id : ids) {
      if (id == 0) {
        menu->addSeparator();
      } else {
        menu->addAction(action(id));
      }
    }
    menus_.insert(name, menu);
    return menu;
  };

  QMenu* file =
      addMenu("FILE", tr("&File"),
              {FILE_NEW, FILE_OPEN, FILE_CLOSE, FILE_SAVE, FILE_SAVE_AS, FILE_SAVE_BITMAP_AS,
               FILE_EXPORT_MESH, 0, FILE_PRINT, FILE_PRINT_PREVIEW, FILE_PRINT_SETUP, 0});
  file->addActions(recentActions_);
  file->addSeparator();
  file->addAction(action(FILE_EXIT));

  addMenu("EDIT", tr("&Edit"),
          {EDIT_UNDO, 0, EDIT_CUT, EDIT_COPY, EDIT_PASTE, EDIT_SELECT_ALL, 0, EDIT_FIND,
           EDIT_REPEAT, EDIT_REPLACE});
  addMenu("VIEW", tr("&View"),
          {VIEW_TOOLBAR, VIEW_STATUS_BAR, VIEW_TOOGLE_OUTPUTLOG, VIEW_CLEAR_OUTPUTLOG, 0,
           VIEW_TABBED_DOCUMENTS});
  QMenu* imageSize =
      addMenu("BUILD_IMAGE_SIZE", tr("&Image Size"),
              {BITMAPSIZE_VARIABLE, BITMAPSIZE_CUSTOM_SIZE, 0, BITMAPSIZE_100X100,
               BITMAPSIZE_320X240, BITMAPSIZE_640X480, BITMAPSIZE_800X600, BITMAPSIZE_1024X768});
  QMenu* build = addMenu("BUILD", tr("&Build"), {});
  build->addMenu(imageSize);
  build->addSeparator();
  build->addActions({action(BUILD_FRACTAL), action(BUILD_STOP), action(BUILD_AUTOBUILD)});
  build->addSeparator();
  build->addActions({action(BUILD_PREV_SAMPLE), action(BUILD_NEXT_SAMPLE)});
  // The placeholder gives way to the samples file's entries when it opens.
  QMenu* samples = addMenu("SAMPLES", tr("&Samples"), {SAMPLES_FIRSTSAMPLE});
  connect(samples, &QMenu::aboutToShow, this, [this, samples] { refillSamplesMenu(samples); });
  QMenu* windows = addMenu("WINDOW", tr("&Window"),
                           {WINDOW_NEXT, WINDOW_CASCADE, WINDOW_TILE_HORZ, WINDOW_ARRANGE});
  connect(windows, &QMenu::aboutToShow, this, [this, windows] { refillWindowMenu(windows); });
  addMenu("HELP", tr("&Help"), {HELP, 0, HELP_ABOUT});
}

void CMainFrame::createToolBar() {
  toolBar_ = addToolBar(tr("Toolbar"));
  toolBar_->setObjectName("ToolBar");
  toolBar_->setIconSize(QSize(16, 16));
  for (int id :
       {FILE_NEW, FILE_OPEN, FILE_SAVE, FILE_SAVE_BITMAP_AS, 0, VIEW_TOOGLE_OUTPUTLOG, 0,
        BUILD_PREV_SAMPLE, BUILD_NEXT_SAMPLE, 0, BUILD_FRACTAL, BUILD_STOP, 0, HELP_ABOUT}) {
    if (id == 0) {
      toolBar_->addSeparator();
    } else {
      toolBar_->addAction(action(id));
    }
  }
}

QList<QMenu*> CMainFrame::menuBarMenus(bool withDocument) const {
  QList<QMenu*> menus;
  for (const char* name : {"FILE", "EDIT", "VIEW", "BUILD", "SAMPLES", "WINDOW", "HELP"}) {
    const bool documentOnly =
        QByteArray(name) == "EDIT" || QByteArray(name) == "BUILD" || QByteArray(name) == "WINDOW";
    if (withDocument || !documentOnly) menus << menus_.value(name);
  }
  return menus;
}

void CMainFrame::translateMenus(const UiTranslator& translator) {
  // Both bars share their menus; each is translated by its own names.
  translator.translateMenuBar(menuBarMenus(false), shell::kMainMenuNames);
  translator.translateMenuBar(menuBarMenus(true), shell::kDocumentMenuNames);
}

void CMainFrame::updateMenus() {
  // The document menus appear while a document is open.
  const bool withDocument = !docs_.isEmpty();
  menuBar()->clear();
  for (QMenu* menu : menuBarMenus(withDocument)) menuBar()->addMenu(menu);
  for (int id : {FILE_CLOSE, FILE_SAVE, FILE_SAVE_AS, FILE_SAVE_BITMAP_AS, FILE_EXPORT_MESH,
                 FILE_PRINT, FILE_PRINT_PREVIEW}) {
    action(id)->setVisible(withDocument);
  }
}

void CMainFrame::updateCommands() {
  CFractal_Doc* doc = activeDoc_;
  const bool building = doc && doc->isBuilding();
  for (int id : {FILE_CLOSE, FILE_SAVE, FILE_SAVE_AS, FILE_PRINT, FILE_PRINT_PREVIEW, EDIT_UNDO,
                 EDIT_CUT, EDIT_COPY, EDIT_PASTE, EDIT_SELECT_ALL, EDIT_FIND, EDIT_REPEAT,
                 EDIT_REPLACE, WINDOW_NEXT, WINDOW_CASCADE, WINDOW_TILE_HORZ, WINDOW_ARRANGE}) {
    action(id)->setEnabled(doc != nullptr);
  }
  for (int id = BITMAPSIZE_100X100; id <= BITMAPSIZE_VARIABLE; ++id) {
    action(id)->setEnabled(doc != nullptr);
    action(id)->setChecked(doc && doc->imageSizeCommand() == id);
  }
  action(BUILD_FRACTAL)->setEnabled(doc && !building);
  action(FILE_EXPORT_MESH)->setEnabled(doc && !building);
  action(BUILD_STOP)->setEnabled(building);
  action(FILE_SAVE_BITMAP_AS)->setEnabled(doc && doc->canSaveBitmap());
  const bool haveSamples = samples_.index().sampleCount() > 0;
  action(BUILD_PREV_SAMPLE)->setEnabled(haveSamples);
  action(BUILD_NEXT_SAMPLE)->setEnabled(haveSamples);
  action(BUILD_AUTOBUILD)->setChecked(autoBuild_);
  action(VIEW_TOOGLE_OUTPUTLOG)->setChecked(!log_->isHidden());
  action(VIEW_TOOLBAR)->setChecked(!toolBar_->isHidden());
  action(VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
}

void CMainFrame::updateRecentFileMenu() {
  for (int i = 0; i < recentActions_.size(); ++i) {
    QAction* entry = recentActions_[i];
    entry->setVisible(i < recentFiles_.size());
    if (i < recentFiles_.size()) {
      entry->setText(QString("&%1 %2").arg(i + 1).arg(QFileInfo(recentFiles_[i]).fileName()));
      entry->setStatusTip(recentFiles_[i]);
    }
  }
}

}  // namespace app
