#include "child_frame.h"

#include <QCloseEvent>

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

}  // namespace app
