#include "main_frame.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

#include "child_frame.h"
#include "engine/frame_buffer.h"
#include "fractal_doc.h"
#include "fractal_text_view.h"
#include "fractal_view.h"
#include "output_log_bar.h"
#include "user_dialogs.h"

// The icons are compiled into this library; a static library's resources
// are registered by hand.
static void registerResources() {
  Q_INIT_RESOURCE(zentarel3d);
}

namespace app {

namespace {

constexpr int kProgressIntervalMs = 250;
const QSize kEditorWindowSize(520, 400);
const QSize kFirstStartSize(1024, 740);
const QSize kInitialBarSize(160, 80);

CFractal_Doc* documentOf(QMdiSubWindow* window) {
  if (!window) return nullptr;
  if (auto* text = qobject_cast<CFractal_TextView*>(window->widget())) return text->fractalDoc();
  if (auto* image = qobject_cast<CFractal_View*>(window->widget())) return image->fractalDoc();
  return nullptr;
}

}  // namespace

CMainFrame::CMainFrame(AppSettings& settings, UserDialogs& dialogs, BuildBackend& backend,
                       std::filesystem::path samplesFile, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      dialogs_(dialogs),
      backend_(backend),
      mdi_(new QMdiArea),
      log_(new OutputLogBar(this)),
      samples_(std::move(samplesFile)) {
  registerResources();
  setWindowTitle(kTitle);
  setWindowIcon(QIcon(":/icons/app.png"));
  setCentralWidget(mdi_);
  setAcceptDrops(true);
  setDockOptions(dockOptions() | QMainWindow::AllowNestedDocks);
  addDockWidget(Qt::BottomDockWidgetArea, log_);
  resizeDocks({log_}, {kInitialBarSize.height()}, Qt::Vertical);
  barSizes_ = {kInitialBarSize, kInitialBarSize, kInitialBarSize};

  createActions();
  createMenus();
  createToolBar();
  connectCommands();
  statusBar()->showMessage(tr("Ready"));

  connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);
  connect(log_, &OutputLogBar::lineJumpRequested, this, &CMainFrame::goToLine);
  connect(log_, &OutputLogBar::errorLineLogged, this, &CMainFrame::markBuildError);
  progressTimer_.setInterval(kProgressIntervalMs);
  connect(&progressTimer_, &QTimer::timeout, this, &CMainFrame::refreshProgress);

  restoreSettings();
  updateMenus();
  updateCommands();
}

CMainFrame::~CMainFrame() {
  // Windows still report activation and visibility while the base classes
  // tear them down; this object's members are gone by then.
  mdi_->disconnect(this);
  log_->disconnect(this);
  for (CFractal_Doc* doc : docs_) doc->disconnect(this);
}

// ---- Documents --------------------------------------------------------------

CFractal_Doc* CMainFrame::newDocument() {
  auto* doc = new CFractal_Doc(dialogs_, backend_, this);
  attachDocument(doc);
  return doc;
}

CFractal_Doc* CMainFrame::activeDocument() const {
  return activeDoc_;
}

CFractal_Doc* CMainFrame::openFile(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  for (CFractal_Doc* doc : docs_) {
    if (!canonical.isEmpty() && QFileInfo(doc->filePath()).canonicalFilePath() == canonical) {
      mdi_->setActiveSubWindow(windowsOf(doc).value(0));
      return doc;
    }
  }
  auto* doc = new CFractal_Doc(dialogs_, backend_, this);
  if (!doc->load(path)) {
    const QString reason = doc->loadError();
    delete doc;
    dialogs_.inform(this, QMessageBox::Warning,
                    reason.isEmpty() ? QString("Cannot open \"%1\".").arg(path)
                                     : QString("Cannot open \"%1\": %2.").arg(path, reason));
    return nullptr;
  }
  attachDocument(doc);
  addRecentFile(path);
  return doc;
}

void CMainFrame::attachDocument(CFractal_Doc* doc) {
  docs_.append(doc);
  connect(doc, &CFractal_Doc::stateChanged, this, [this, doc] { onDocumentStateChanged(doc); });
  connect(doc, &CFractal_Doc::titleChanged, this, [this, doc] { refreshTitles(doc); });
  connect(doc, &CFractal_Doc::buildStarting, log_, &OutputLogBar::scrollToEnd);
  connect(doc, &CFractal_Doc::buildStarting, this, [this, doc] { lastBuildStarted_ = doc; });
  connect(doc, &CFractal_Doc::showImageRequested, this, [this, doc] { showImage(doc); });
  auto* view = new CFractal_TextView(doc);
  QMdiSubWindow* window = addChildWindow(view, doc);
  window->setWindowIcon(QIcon(":/icons/new.png"));
  window->resize(kEditorWindowSize);
  qobject_cast<CChildFrame*>(window)->placeInside();
  view->setFocus();
}

QMdiSubWindow* CMainFrame::addChildWindow(QWidget* view, CFractal_Doc* doc) {
  auto* window = new CChildFrame([this](CChildFrame* w) { return queryCloseWindow(w); });
  window->setWidget(view);
  mdi_->addSubWindow(window);
  refreshTitles(doc);
  window->show();
  mdi_->setActiveSubWindow(window);
  return window;
}

QList<QMdiSubWindow*> CMainFrame::windowsOf(CFractal_Doc* doc) const {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (documentOf(window) == doc) windows << window;
  }
  return windows;
}

CFractal_TextView* CMainFrame::firstTextView(CFractal_Doc* doc) const {
  for (QMdiSubWindow* window : windowsOf(doc)) {
    if (auto* view = qobject_cast<CFractal_TextView*>(window->widget())) return view;
  }
  return nullptr;
}

bool CMainFrame::queryCloseWindow(QMdiSubWindow* window) {
  auto* textView = qobject_cast<CFractal_TextView*>(window->widget());
  if (!textView) return true;  // an image window closes without a question
  CFractal_Doc* doc = textView->fractalDoc();
  if (!docs_.contains(doc)) return true;  // the document is already on its way out
  for (QMdiSubWindow* other : windowsOf(doc)) {
    if (other != window && qobject_cast<CFractal_TextView*>(other->widget())) return true;
  }
  if (!askToSave(doc) || !doc->stopAndWait(this, true)) return false;
  forgetDocument(doc);
  // The editor still shows the document's text until its window is gone.
  connect(window, &QObject::destroyed, doc, &QObject::deleteLater);
  for (QMdiSubWindow* other : windowsOf(doc)) {
    if (other != window) other->close();
  }
  return true;
}

bool CMainFrame::closeDocument(CFractal_Doc* doc) {
  CFractal_TextView* view = firstTextView(doc);
  if (!view) return true;
  for (QMdiSubWindow* window : windowsOf(doc)) {
    if (window->widget() != view && qobject_cast<CFractal_TextView*>(window->widget())) {
      window->close();
    }
  }
  auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget());
  return window->close();
}

bool CMainFrame::askToSave(CFractal_Doc* doc) {
  if (!doc->isModified()) return true;
  const auto answer = dialogs_.ask(this, QString("Save changes to %1?").arg(doc->title()),
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Yes) return saveDocument(doc, doc->filePath().isEmpty());
  return true;
}

void CMainFrame::forgetDocument(CFractal_Doc* doc) {
  docs_.removeAll(doc);
  disconnect(doc, nullptr, this, nullptr);
  disconnect(doc, nullptr, log_, nullptr);
  doc->setParent(nullptr);
  if (activeDoc_ == doc) activeDoc_ = nullptr;
}

void CMainFrame::onSubWindowActivated(QMdiSubWindow* window) {
  if (!window) window = mdi_->currentSubWindow();
  activeDoc_ = documentOf(window);
  if (activeDoc_ && activeDoc_->isBuilding()) progressTimer_.start();
  updateMenus();
  updateCommands();
  refreshProgress();
}

void CMainFrame::onDocumentStateChanged(CFractal_Doc* doc) {
  updateCommands();
  if (doc != activeDoc_) return;
  if (doc->isBuilding() && !progressTimer_.isActive()) progressTimer_.start();
  refreshProgress();
}

void CMainFrame::showImage(CFractal_Doc* doc) {
  const engine::FrameBuffer& fb = doc->frameBuffer();
  if (!doc->imageView() && fb.showRequested) {
    const QSize size = doc->requestedSize();
    auto* view = new CFractal_View(doc);
    connect(view, &CFractal_View::pointerText, this, &CMainFrame::showPointerText);
    connect(view, &CFractal_View::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    QMdiSubWindow* window = addChildWindow(view, doc);
    window->setWindowIcon(QIcon(":/icons/image.png"));
    view->fitFrameToImageSize(size);
  } else if (doc->imageView() && !fb.savesFrames) {
    mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(doc->imageView()->parentWidget()));
  }
  doc->updateViews();
  updateCommands();
}

// ---- Titles and progress ------------------------------------------------------

void CMainFrame::refreshProgress() {
  CFractal_Doc* doc = activeDoc_;
  if (!doc) {
    progressTimer_.stop();
    setCaption(kTitle);
    return;
  }
  const QString prefix = doc->progressPrefix();
  if (isMinimized()) {
    setCaption(prefix + doc->title());
  } else {
    const QString status = doc->statusText().isEmpty() ? tr("Ready") : doc->statusText();
    statusBar()->showMessage(prefix + status);
    setCaption(QString(kTitle) + " - " + doc->title());
  }
  if (!doc->isBuilding()) progressTimer_.stop();
}

void CMainFrame::setCaption(const QString& caption) {
  if (windowTitle() != caption) setWindowTitle(caption);
}

void CMainFrame::refreshTitles(CFractal_Doc* doc) {
  for (QMdiSubWindow* window : windowsOf(doc)) {
    window->setWindowTitle(doc->title() + "[*]");
    window->setWindowModified(doc->isModified() &&
                              qobject_cast<CFractal_TextView*>(window->widget()));
  }
  if (doc == activeDoc_) refreshProgress();
}

void CMainFrame::goToLine(int line) {
  CFractal_Doc* doc = activeDoc_;
  if (!doc) return;
  auto* view = qobject_cast<CFractal_TextView*>(mdi_->currentSubWindow()->widget());
  if (!view || view->fractalDoc() != doc) view = firstTextView(doc);
  if (!view || !view->goToLine(line)) return;
  mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
  view->setFocus();
}

// ---- Window events ------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event) {
  for (CFractal_Doc* doc : QList(docs_)) {
    doc->stop(true);
    if (!askToSave(doc)) {
      event->ignore();
      return;
    }
    doc->text()->setModified(false);
    if (!doc->stopAndWait(this, true)) {
      event->ignore();
      return;
    }
  }
  saveSettings();
  event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) refreshProgress();
}

namespace {
QStringList droppedScripts(const QMimeData* data) {
  QStringList paths;
  for (const QUrl& url : data->urls()) {
    const QString path = url.toLocalFile();
    if (url.isLocalFile() && (path.endsWith(".ifs", Qt::CaseInsensitive) ||
                              path.endsWith(".png", Qt::CaseInsensitive))) {
      paths << path;
    }
  }
  return paths;
}
}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedScripts(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QString& path : droppedScripts(event->mimeData())) openFile(path);
  event->acceptProposedAction();
}

// ---- Settings -----------------------------------------------------------------

BarSizes CMainFrame::currentBarSizes() const {
  BarSizes sizes = barSizes_;
  if (log_->isFloating()) {
    sizes.floating = log_->size();
  } else if (dockWidgetArea(log_) & (Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea)) {
    sizes.horizontal = log_->size();
  } else {
    sizes.vertical = log_->size();
  }
  return sizes;
}

void CMainFrame::restoreSettings() {
  autoBuild_ = settings_.autoBuild();
  setTabbedDocuments(settings_.tabbedDocuments());
  recentFiles_ = settings_.recentFiles();
  updateRecentFileMenu();
  restoreState(settings_.barState());
  barSizes_ = settings_.barSizes(barSizes_, log_->minimumSizeHint());
  if (log_->isFloating()) {
    log_->resize(barSizes_.floating);
  } else if (dockWidgetArea(log_) & (Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea)) {
    resizeDocks({log_}, {barSizes_.horizontal.height()}, Qt::Vertical);
  } else {
    resizeDocks({log_}, {barSizes_.vertical.width()}, Qt::Horizontal);
  }
  if (const auto placement = settings_.windowPlacement()) {
    // Saved on another screen or at another scale, it may not fit this one.
    setGeometry(fittedOnScreen(placement->normalRect()));
    if (placement->flags & WindowPlacement::kRestoreToMaximized) {
      setWindowState(Qt::WindowMaximized);
    }
  } else {
    resize(fittedOnScreen(QRect(pos(), kFirstStartSize)).size());
  }
}

void CMainFrame::saveSettings() {
  WindowPlacement placement;
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  placement.left = normal.left();
  placement.top = normal.top();
  placement.right = normal.right() + 1;
  placement.bottom = normal.bottom() + 1;
  placement.showState = isMinimized()   ? WindowPlacement::kShowMinimized
                        : isMaximized() ? WindowPlacement::kShowMaximized
                                        : WindowPlacement::kShowNormal;
  placement.flags = isMaximized() ? WindowPlacement::kRestoreToMaximized : 0;
  settings_.setWindowPlacement(placement);
  settings_.setBarState(saveState());
  settings_.setBarSizes(currentBarSizes());
  settings_.setAutoBuild(autoBuild_);
  settings_.setTabbedDocuments(mdi_->viewMode() == QMdiArea::TabbedView);
  settings_.setRecentFiles(recentFiles_);
  settings_.sync();
}

void CMainFrame::addRecentFile(const QString& path) {
  recentFiles_ = withRecentFile(recentFiles_, QFileInfo(path).absoluteFilePath());
  updateRecentFileMenu();
}

}  // namespace app
