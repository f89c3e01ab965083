// The editor's error marks, the document list of the Window menu, tabbed
// documents and the honest reports of the main window.
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QThread>
#include <iostream>

#include "command_ids.h"
#include "find_bar.h"
#include "fractal_doc.h"
#include "fractal_text_view.h"
#include "main_frame.h"
#include "status_point_text.h"
#include "user_dialogs.h"

namespace app {

void CMainFrame::markBuildError(int line, QThread* writer) {
  // A build thread writes its own errors; the type pre-scan runs on this
  // thread when a build starts.
  CFractal_Doc* owner = writer == thread() ? lastBuildStarted_.data() : nullptr;
  for (CFractal_Doc* doc : docs_) {
    if (doc->buildsOn(writer)) owner = doc;
  }
  if (owner) owner->markErrorLine(line);
}

void CMainFrame::refillWindowMenu(QMenu* menu) {
  qDeleteAll(windowListActions_);
  windowListActions_.clear();
  if (docs_.isEmpty()) return;
  windowListActions_ << menu->addSeparator();
  auto* group = new QActionGroup(menu);
  for (qsizetype i = 0; i < docs_.size(); ++i) {
    CFractal_Doc* doc = docs_[i];
    // Document titles are names, not interface texts: no command identifier,
    // so the language file leaves them alone.
    QAction* entry = menu->addAction(QString("&%1 %2").arg(i + 1).arg(doc->title()));
    entry->setCheckable(true);
    entry->setChecked(doc == activeDoc_);
    group->addAction(entry);
    connect(entry, &QAction::triggered, this, [this, doc = QPointer<CFractal_Doc>(doc)] {
      if (!doc) return;
      const QList<QMdiSubWindow*> windows = windowsOf(doc);
      if (CFractal_TextView* view = firstTextView(doc)) {
        mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
      } else if (!windows.isEmpty()) {
        mdi_->setActiveSubWindow(windows.first());
      }
    });
    windowListActions_ << entry;
  }
}

void CMainFrame::setTabbedDocuments(bool tabbed) {
  mdi_->setViewMode(tabbed ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
  mdi_->setTabsClosable(tabbed);
  mdi_->setTabsMovable(tabbed);
  action(command::VIEW_TABBED_DOCUMENTS)->setChecked(tabbed);
  // Cascade, tile and icons have no meaning for tabs.
  for (int id : {command::WINDOW_CASCADE, command::WINDOW_TILE_HORZ, command::WINDOW_ARRANGE}) {
    action(id)->setVisible(!tabbed);
  }
}

void CMainFrame::openFindBar(bool withReplace) {
  if (CFractal_TextView* view = activeTextView()) view->findBar()->open(withReplace);
}

void CMainFrame::reportHelpNotOpened(const QString& path) {
  const QString text = "Cannot open help file \"" + path + "\": no program to show it.";
  std::cout << text.toStdString() << std::endl;
  dialogs_.inform(this, QMessageBox::Warning, text);
}

void CMainFrame::showPointerText(const QString& point) {
  statusBar()->showMessage(statusPointText(point));
}

}  // namespace app
