// The command handlers of the main window.
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "about_dialog.h"
#include "command_ids.h"
#include "find_bar.h"
#include "fractal_doc.h"
#include "fractal_text_view.h"
#include "fractal_view.h"
#include "image_printing.h"
#include "main_frame.h"
#include "output_log_bar.h"
#include "shell/program_paths.h"
#include "shell/system_language.h"
#include "user_dialogs.h"

namespace app {

using namespace command;

namespace {

const QString kScriptFilter = QObject::tr("Fractal Document (*.ifs);;All Files (*)");
// Opening also takes the pictures that carry their scene.
const QString kOpenFilter = QObject::tr("Fractal Document or Picture (*.ifs *.png);;All Files (*)");

QSize fixedImageSize(int id) {
  switch (id) {
    case BITMAPSIZE_100X100:
      return {100, 100};
    case BITMAPSIZE_320X240:
      return {320, 240};
    case BITMAPSIZE_640X480:
      return {640, 480};
    case BITMAPSIZE_800X600:
      return {800, 600};
    default:
      return {1024, 768};
  }
}

}  // namespace

void CMainFrame::connectCommands() {
  const auto on = [this](int id, auto handler) {
    connect(action(id), &QAction::triggered, this, handler);
  };
  const auto onDocument = [this](int id, auto handler) {
    connect(action(id), &QAction::triggered, this, [this, handler] {
      if (activeDoc_) handler(activeDoc_.data());
    });
  };
  const auto onEditor = [this](int id, void (QPlainTextEdit::*handler)()) {
    connect(action(id), &QAction::triggered, this, [this, handler] {
      if (CFractal_TextView* view = activeTextView()) (view->*handler)();
    });
  };

  on(FILE_NEW, &CMainFrame::newDocument);
  on(FILE_OPEN, &CMainFrame::openWithDialog);
  onDocument(FILE_CLOSE, [this](CFractal_Doc* doc) { closeDocument(doc); });
  onDocument(FILE_SAVE,
             [this](CFractal_Doc* doc) { saveDocument(doc, doc->filePath().isEmpty()); });
  onDocument(FILE_SAVE_AS, [this](CFractal_Doc* doc) { saveDocument(doc, true); });
  onDocument(FILE_SAVE_BITMAP_AS, [this](CFractal_Doc* doc) { doc->saveBitmapAs(this); });
  onDocument(FILE_EXPORT_MESH, [this](CFractal_Doc* doc) { doc->exportMesh(this); });
  on(FILE_PRINT, &CMainFrame::print);
  on(FILE_PRINT_PREVIEW, &CMainFrame::printPreview);
  on(FILE_PRINT_SETUP, &CMainFrame::printSetup);
  on(FILE_EXIT, &QWidget::close);
  for (int i = 0; i < recentActions_.size(); ++i) {
    on(FILE_RECENT + i, [this, i] {
      if (i < recentFiles_.size()) openFile(recentFiles_[i]);
    });
  }

  onEditor(EDIT_UNDO, &QPlainTextEdit::undo);
  onEditor(EDIT_CUT, &QPlainTextEdit::cut);
  onEditor(EDIT_COPY, &QPlainTextEdit::copy);
  onEditor(EDIT_PASTE, &QPlainTextEdit::paste);
  onEditor(EDIT_SELECT_ALL, &QPlainTextEdit::selectAll);
  on(EDIT_FIND, [this] { openFindBar(false); });
  on(EDIT_REPEAT, [this] {
    CFractal_TextView* view = activeTextView();
    if (!view) return;
    // Nothing to repeat yet: ask for the text.
    if (!view->findBar()->hasText()) {
      openFindBar(false);
    } else {
      view->findBar()->findNext();
    }
  });
  on(EDIT_REPLACE, [this] { openFindBar(true); });

  on(VIEW_TOOLBAR, [this](bool shown) { toolBar_->setVisible(shown); });
  on(VIEW_STATUS_BAR, [this](bool shown) { statusBar()->setVisible(shown); });
  on(VIEW_TOOGLE_OUTPUTLOG, [this] { log_->setVisible(log_->isHidden()); });
  connect(log_, &QDockWidget::visibilityChanged, this, &CMainFrame::updateCommands);
  on(VIEW_CLEAR_OUTPUTLOG, [this] { log_->clear(); });
  on(VIEW_TABBED_DOCUMENTS, &CMainFrame::setTabbedDocuments);

  for (int id = BITMAPSIZE_100X100; id <= BITMAPSIZE_VARIABLE; ++id) {
    on(id, [this, id] { setImageSize(id); });
  }
  onDocument(BUILD_FRACTAL, [](CFractal_Doc* doc) { doc->build(); });
  onDocument(BUILD_STOP, [](CFractal_Doc* doc) { doc->stop(); });
  on(BUILD_AUTOBUILD, [this] {
    autoBuild_ = !autoBuild_;
    updateCommands();
  });
  on(SAMPLES_FIRSTSAMPLE, &CMainFrame::loadFirstSample);
  on(BUILD_PREV_SAMPLE, [this] { stepSample(shell::SampleStep::Previous); });
  on(BUILD_NEXT_SAMPLE, [this] { stepSample(shell::SampleStep::Next); });

  on(WINDOW_NEXT, [this] { mdi_->activateNextSubWindow(); });
  on(WINDOW_CASCADE, [this] { mdi_->cascadeSubWindows(); });
  on(WINDOW_TILE_HORZ, [this] { mdi_->tileSubWindows(); });
  on(WINDOW_ARRANGE, &CMainFrame::arrangeIcons);

  on(HELP, &CMainFrame::showHelp);
  on(HELP_ABOUT, &CMainFrame::showAbout);
}

CFractal_TextView* CMainFrame::activeTextView() const {
  QMdiSubWindow* window = mdi_->currentSubWindow();
  return window ? qobject_cast<CFractal_TextView*>(window->widget()) : nullptr;
}

// ---- Files --------------------------------------------------------------------

void CMainFrame::openWithDialog() {
  const QString path = dialogs_.openFileName(this, kOpenFilter);
  if (!path.isEmpty()) openFile(path);
}

bool CMainFrame::saveDocument(CFractal_Doc* doc, bool askName) {
  QString path = doc->filePath();
  if (askName) {
    const QString suggested = path.isEmpty() ? doc->title() + ".ifs" : path;
    path = dialogs_.saveFileName(this, suggested, kScriptFilter, nullptr);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += ".ifs";
  }
  if (!doc->save(path)) {
    dialogs_.inform(this, QMessageBox::Warning,
                    QString("Cannot write \"%1\": %2").arg(path, doc->saveError()));
    return false;
  }
  addRecentFile(path);
  return true;
}

// ---- Image size ---------------------------------------------------------------

void CMainFrame::setImageSize(int id) {
  CFractal_Doc* doc = activeDoc_;
  if (!doc) return;
  if (id == BITMAPSIZE_VARIABLE) {
    doc->useWindowSize();
  } else if (id == BITMAPSIZE_CUSTOM_SIZE) {
    if (const auto size = dialogs_.customSize(this, doc->requestedSize())) {
      doc->setFixedImageSize(id, *size);
    }
  } else {
    doc->setFixedImageSize(id, fixedImageSize(id));
  }
  updateCommands();
}

// ---- Printing -----------------------------------------------------------------

QPrinter& CMainFrame::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  return *printer_;
}

void CMainFrame::printActive(QPrinter& printer) {
  QMdiSubWindow* window = mdi_->currentSubWindow();
  if (!window) return;
  if (auto* text = qobject_cast<CFractal_TextView*>(window->widget())) {
    text->print(&printer);
  } else if (auto* image = qobject_cast<CFractal_View*>(window->widget())) {
    if (!printImage(printer, image->fractalDoc()->displayImage())) {
      dialogs_.inform(this, QMessageBox::Warning, "Not printed!");
    }
  }
}

void CMainFrame::print() {
  QPrintDialog dialog(&printer(), this);
  if (dialog.exec() == QDialog::Accepted) printActive(printer());
}

void CMainFrame::printPreview() {
  QPrintPreviewDialog dialog(&printer(), this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* target) { printActive(*target); });
  dialog.exec();
}

void CMainFrame::printSetup() {
  QPageSetupDialog dialog(&printer(), this);
  dialog.exec();
}

// ---- Windows and help -------------------------------------------------------

void CMainFrame::arrangeIcons() {
  // Minimised windows in a row along the bottom of the work area.
  int x = 0;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (!window->isMinimized()) continue;
    window->move(x, mdi_->viewport()->height() - window->height());
    x += window->width();
  }
}

void CMainFrame::showHelp() {
  const QString path =
      QString::fromStdString(shell::helpFilePath(shell::systemAsksForRussian()).string());
  if (!QFileInfo::exists(path)) {
    dialogs_.inform(this, QMessageBox::Critical, "Help file \"" + path + "\" not found!");
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) reportHelpNotOpened(path);
}

void CMainFrame::showAbout() {
  AboutDialog dialog(this);
  dialog.exec();
}

}  // namespace app
