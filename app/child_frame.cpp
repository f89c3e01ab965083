#include "child_frame.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QTimer>
#include <utility>

#include "window_placement.h"

namespace app {

CChildFrame::CChildFrame(CloseQuery query, QWidget* parent)
    : QMdiSubWindow(parent), query_(std::move(query)) {
  setAttribute(Qt::WA_DeleteOnClose);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (!query_(this)) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

namespace {
// The workspace before it is shown has no size of its own yet.
QWidget* shownWorkspace(const QMdiArea* area) {
  return area && area->isVisible() ? area->viewport() : nullptr;
}
}  // namespace

void CChildFrame::placeInside() {
  if (QWidget* workspace = shownWorkspace(mdiArea()))
    setGeometry(fittedInside(geometry(), workspace->rect()));
}

void CChildFrame::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  const QWidget* workspace = shownWorkspace(mdiArea());
  if (!workspace) return;
  const QSize area = workspace->size();
  if (area.expandedTo(size()) != area) resize(size().boundedTo(area));
}

void CChildFrame::showEvent(QShowEvent* event) {
  QMdiSubWindow::showEvent(event);
  // The main window lays out its bars after its children show.
  if (!std::exchange(shownBefore_, true)) QTimer::singleShot(0, this, &CChildFrame::placeInside);
}

}  // namespace app
