#include "fractal_view.h"

#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cstdlib>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "fractal_doc.h"

namespace app {

namespace {
// A drag counts once the pointer is this far from the anchor.
constexpr int kDragThreshold = 5;
}  // namespace

CFractal_View::CFractal_View(CFractal_Doc* doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc) {
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(palette);
  doc->setImageView(this);
  updateScrollRange();
}

CFractal_View::~CFractal_View() {
  if (doc_->imageView() == this) doc_->setImageView(nullptr);
}

void CFractal_View::imageChanged() {
  updateScrollRange();
  viewport()->update();
}

void CFractal_View::fitFrameToImageSize(QSize size) {
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (!frame) frame = this;
  frame->resize(frame->size() - clientSize() + size.expandedTo(QSize(1, 1)));
}

void CFractal_View::updateScrollRange() {
  const QSize image = doc_->displayImage().size();
  const QSize area = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, image.width() - area.width()));
  verticalScrollBar()->setRange(0, std::max(0, image.height() - area.height()));
  horizontalScrollBar()->setPageStep(area.width());
  verticalScrollBar()->setPageStep(area.height());
}

QPoint CFractal_View::imagePoint(const QPoint& viewportPoint) const {
  return viewportPoint + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CFractal_View::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPoint origin(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  painter.drawImage(origin, doc_->displayImage());
  const engine::FrameBuffer& fb = doc_->frameBuffer();
  if (!doc_->selectionShown()) return;
  const engine::SelectionRect& s = fb.selection;
  const QRect rect =
      QRect(QPoint(s.left, s.top), QPoint(s.right - 1, s.bottom - 1)).translated(origin);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawRect(rect);
  painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  painter.drawRect(rect);
}

void CFractal_View::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  doc_->showSelection(false);
  if (!doc_->fixedImageSize()) doc_->setRequestedSize(clientSize());
  updateScrollRange();
}

void CFractal_View::mousePressEvent(QMouseEvent* event) {
  engine::FrameBuffer& fb = doc_->frameBuffer();
  const QPoint p = imagePoint(event->position().toPoint());
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if (event->button() == Qt::RightButton) {
    if (fb.selectionAllowed) doc_->showSelection(false);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  const QSize requested = doc_->requestedSize();
  if (!ctrl && fb.selectionAllowed && p.x() >= 0 && p.y() >= 0 && p.x() < requested.width() &&
      p.y() < requested.height()) {
    const bool wasShown = doc_->selectionShown() && fb.selectionHalfWidth > 0;
    doc_->showSelection(false);
    fb.anchorX = p.x();
    fb.anchorY = p.y();
    fb.selectionDragged = false;
    fb.setSelection(wasShown ? fb.selectionHalfWidth : 0, 0);
    doc_->showSelection(true);
  }
  leftDown_ = true;
  lastGlobal_ = event->globalPosition().toPoint();
}

void CFractal_View::mouseMoveEvent(QMouseEvent* event) {
  engine::FrameBuffer& fb = doc_->frameBuffer();
  const QPoint p = imagePoint(event->position().toPoint());
  const bool leftButton = event->buttons() & Qt::LeftButton;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;

  if (!leftButton && doc_->scene() && !doc_->isBuilding() && p.x() >= 0 && p.y() >= 0 &&
      p.x() < int(fb.width) && p.y() < int(fb.height)) {
    const std::string point = doc_->scene()->pointAtPixel(p.x(), p.y());
    if (!point.empty()) emit pointerText(QString::fromStdString(point));
  }

  if (fb.selectionAllowed && !ctrl) {
    if (doc_->selectionShown() && leftButton) {
      const int dx = std::abs(p.x() - fb.anchorX), dy = std::abs(p.y() - fb.anchorY);
      if (dx > kDragThreshold || dy > kDragThreshold) fb.selectionDragged = true;
      if (fb.selectionDragged) {
        fb.setSelection(dx, dy);
        viewport()->update();
      }
    } else {
      fb.selectionDragged = false;
    }
    return;
  }
  if (leftDown_ && (leftButton || ctrl)) dragFrame(event->globalPosition().toPoint());
  lastGlobal_ = event->globalPosition().toPoint();
  leftDown_ = leftButton;
}

void CFractal_View::dragFrame(const QPoint& globalPoint) {
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (frame) frame->move(frame->pos() + globalPoint - lastGlobal_);
}

void CFractal_View::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  leftDown_ = false;
  doc_->frameBuffer().selectionDragged = false;
}

}  // namespace app
