#include "child_frame.h"

#include <QCloseEvent>
#include <QMdiArea>

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

void CChildFrame::placeInside() {
  if (QMdiArea* area = mdiArea()) setGeometry(fittedInside(geometry(), area->viewport()->rect()));
}

void CChildFrame::resizeEvent(QResizeEvent* event) {
  QMdiSubWindow::resizeEvent(event);
  const QMdiArea* area = mdiArea();
  if (!area) return;
  const QSize workspace = area->viewport()->size();
  if (!workspace.isEmpty() && workspace.expandedTo(size()) != workspace)
    resize(size().boundedTo(workspace));
}

}  // namespace app
