#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "app_settings.h"
#include "shell/samples_file.h"
#include "shell/samples_menu.h"
#include "shell/version.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QThread;
class QToolBar;

namespace app {

class BuildBackend;
class CFractal_Doc;
class CFractal_TextView;
class CFractal_View;
class OutputLogBar;
class UiTranslator;
class UserDialogs;

// The main window: documents in MDI child windows, menus, toolbar, status
// bar, the Output Log bar, and the settings that outlive a session.
class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr const char* kTitle = "Zentarel 3d v" ZENTAREL_VERSION;

  // `samplesFile`: the samples file of the Samples menu; none leaves that
  // menu alone and starts sessions with the built-in scene.
  CMainFrame(AppSettings& settings, UserDialogs& dialogs, BuildBackend& backend,
             std::filesystem::path samplesFile = {}, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // ---- Documents ------------------------------------------------------------

  // A new empty document with its editor window.
  CFractal_Doc* newDocument();
  // Puts the first sample into the active document when that can be reused,
  // else into a new one (as the program starts without a file). The built-in
  // scene stands in when the samples file holds no sample.
  CFractal_Doc* loadFirstSample();
  // Opens a script file in a new document (or activates the document that
  // holds it); null when it cannot be read.
  CFractal_Doc* openFile(const QString& path);
  CFractal_Doc* activeDocument() const;
  QList<CFractal_Doc*> documents() const { return docs_; }
  // Closes every window of the document, asking about unsaved changes and a
  // running build as the last editor window does; false when it stays open.
  bool closeDocument(CFractal_Doc* doc);

  // ---- Commands -------------------------------------------------------------

  QAction* action(int command) const { return actions_.value(command); }
  // Moves the active document's editor to a script line (from 1).
  void goToLine(int line);
  OutputLogBar* logBar() const { return log_; }
  bool autoBuild() const { return autoBuild_; }

  // The menus of the menu bar, in order, without or with a document open.
  QList<QMenu*> menuBarMenus(bool withDocument) const;
  // Translates the titles and commands of both menu bars.
  void translateMenus(const UiTranslator& translator);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // main_frame_actions.cpp
  void createActions();
  QAction* addCommand(int command, const QString& text, const QString& icon = {});
  void createMenus();
  void createToolBar();
  void updateMenus();
  void updateCommands();
  void updateRecentFileMenu();

  // main_frame_commands.cpp
  void connectCommands();
  void openWithDialog();
  bool saveDocument(CFractal_Doc* doc, bool askName);
  void setImageSize(int command);
  QPrinter& printer();
  void printActive(QPrinter& printer);
  void print();
  void printPreview();
  void printSetup();
  void showHelp();
  void showAbout();
  void arrangeIcons();
  CFractal_TextView* activeTextView() const;

  // main_frame_samples.cpp
  void refillSamplesMenu(QMenu* popup);
  void chooseSample(int entry);
  void stepSample(shell::SampleStep step);
  CFractal_Doc* loadSample(int entry, bool stepping);
  CFractal_Doc* putScript(const std::string& script, const QString& title, bool build);

  // main_frame_workbench.cpp
  void markBuildError(int line, QThread* writer);
  void refillWindowMenu(QMenu* menu);
  void setTabbedDocuments(bool tabbed);
  void reportHelpNotOpened(const QString& path);
  void showPointerText(const QString& point);
  void openFindBar(bool withReplace);

  // main_frame.cpp
  void attachDocument(CFractal_Doc* doc);
  QMdiSubWindow* addChildWindow(QWidget* view, CFractal_Doc* doc);
  CFractal_TextView* firstTextView(CFractal_Doc* doc) const;
  QList<QMdiSubWindow*> windowsOf(CFractal_Doc* doc) const;
  bool queryCloseWindow(QMdiSubWindow* window);
  bool askToSave(CFractal_Doc* doc);
  void forgetDocument(CFractal_Doc* doc);
  void onSubWindowActivated(QMdiSubWindow* window);
  void onDocumentStateChanged(CFractal_Doc* doc);
  void showImage(CFractal_Doc* doc);
  void refreshProgress();
  void refreshTitles(CFractal_Doc* doc);
  void setCaption(const QString& caption);
  void restoreSettings();
  void saveSettings();
  void addRecentFile(const QString& path);
  BarSizes currentBarSizes() const;

  AppSettings& settings_;
  UserDialogs& dialogs_;
  BuildBackend& backend_;
  QMdiArea* mdi_;
  OutputLogBar* log_;
  QToolBar* toolBar_ = nullptr;
  QHash<int, QAction*> actions_;
  QHash<QString, QMenu*> menus_;
  QList<QAction*> recentActions_;
  QStringList recentFiles_;
  QList<CFractal_Doc*> docs_;
  QPointer<CFractal_Doc> activeDoc_;
  QPointer<CFractal_Doc> lastBuildStarted_;  // its pre-scan writes on the interface thread
  QList<QAction*> windowListActions_;
  QTimer progressTimer_;
  std::unique_ptr<QPrinter> printer_;
  bool autoBuild_ = true;
  BarSizes barSizes_;
  shell::SamplesFile samples_;
  int currentSample_ = 0;                          // the ordinal of the sample loaded last
  QHash<QMenu*, unsigned> samplesMenuGeneration_;  // the index generation each popup shows
};

}  // namespace app
