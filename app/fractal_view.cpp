#include "fractal_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>

#include "camera_gesture.h"
#include "child_frame.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "fractal_doc.h"

namespace app {

namespace {
// A drag counts once the pointer is this far from the anchor.
constexpr int kDragThreshold = 5;
// One wheel notch, in the angle units of wheel events.
constexpr double kWheelNotch = 120.0;
// Each notch of Ctrl+wheel zooms by this factor.
constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 1.0 / 64, kMaxZoom = 64.0;
// The wheel gesture ends, and the full picture is built, after this pause.
constexpr int kWheelPauseMs = 400;
constexpr const char* kNoCameraStatement = "The script has no camera statement to move";
}  // namespace

CFractal_View::CFractal_View(CFractal_Doc* doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc) {
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(palette);
  doc->setImageView(this);
  wheelEnd_.setSingleShot(true);
  wheelEnd_.setInterval(kWheelPauseMs);
  connect(&wheelEnd_, &QTimer::timeout, this, &CFractal_View::finishGesture);
  addZoomActions();
  updateScrollRange();
}

CFractal_View::~CFractal_View() {
  if (doc_->imageView() == this) doc_->setImageView(nullptr);
}

void CFractal_View::addZoomActions() {
  const auto add = [this](const QString& text, const QKeySequence& key, auto slot) {
    auto* action = new QAction(text, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  add(tr("Zoom to &Fit"), QKeySequence("Ctrl+0"), [this] { zoomToFit(); });
  add(tr("&Actual Pixels"), QKeySequence("Ctrl+1"), [this] { setZoom(1.0); });
  add(tr("Zoom &In"), QKeySequence::ZoomIn, [this] { setZoom(drawScale() * kZoomStep); });
  add(tr("Zoom &Out"), QKeySequence::ZoomOut, [this] { setZoom(drawScale() / kZoomStep); });
}

QSize CFractal_View::renderSize() const {
  const QSize area = clientSize();
  const double density = devicePixelRatioF();
  return {int(std::lround(area.width() * density)), int(std::lround(area.height() * density))};
}

void CFractal_View::imageChanged() {
  updateScrollRange();
  viewport()->update();
}

void CFractal_View::fitFrameToImageSize(QSize imageSize) {
  fit_ = false;
  zoom_ = 1.0;
  const double density = devicePixelRatioF();
  const QSize shown(int(std::ceil(imageSize.width() / density)),
                    int(std::ceil(imageSize.height() / density)));
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (!frame) frame = this;
  frame->resize(frame->size() - clientSize() + shown.expandedTo(QSize(1, 1)));
  if (auto* child = qobject_cast<CChildFrame*>(frame)) child->placeInside();
}

void CFractal_View::zoomToFit() {
  fit_ = true;
  imageChanged();
}

void CFractal_View::setZoom(double zoom) {
  fit_ = false;
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
  imageChanged();
}

double CFractal_View::drawScale() const {
  const QImage& image = doc_->displayImage();
  const QSizeF size = image.deviceIndependentSize();
  if (!fit_ || size.isEmpty()) return zoom_;
  const QSize area = viewport()->size();
  return std::min(area.width() / size.width(), area.height() / size.height());
}

void CFractal_View::updateScrollRange() {
  const QSizeF shown = doc_->displayImage().deviceIndependentSize() * drawScale();
  const QSize area = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(shown.width())) - area.width()));
  verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(shown.height())) - area.height()));
  horizontalScrollBar()->setPageStep(area.width());
  verticalScrollBar()->setPageStep(area.height());
}

QPoint CFractal_View::scrollOffset() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPoint CFractal_View::imagePoint(const QPoint& viewportPoint) const {
  const double perImagePixel = drawScale() / doc_->displayImage().devicePixelRatio();
  const QPointF p = QPointF(viewportPoint + scrollOffset()) / perImagePixel;
  return {int(std::floor(p.x())), int(std::floor(p.y()))};
}

void CFractal_View::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QImage& image = doc_->displayImage();
  const double scale = drawScale();
  const QPointF origin = -scrollOffset();
  // Whole multiples of the device pixels stay sharp; other scales are smoothed.
  const double devicePerImagePixel = scale * devicePixelRatioF() / image.devicePixelRatio();
  painter.setRenderHint(QPainter::SmoothPixmapTransform,
                        devicePerImagePixel != std::floor(devicePerImagePixel));
  painter.drawImage(QRectF(origin, image.deviceIndependentSize() * scale), image);
  const engine::FrameBuffer& fb = doc_->frameBuffer();
  if (!doc_->selectionShown()) return;
  const engine::SelectionRect& s = fb.selection;
  const double perImagePixel = scale / image.devicePixelRatio();
  const QRect rect = QRectF(QPointF(s.left, s.top) * perImagePixel + origin,
                            QPointF(s.right, s.bottom) * perImagePixel + origin)
                         .toRect()
                         .adjusted(0, 0, -1, -1);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawRect(rect);
  painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  painter.drawRect(rect);
}

void CFractal_View::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  doc_->showSelection(false);
  if (!doc_->fixedImageSize()) doc_->setRequestedSize(renderSize());
  updateScrollRange();
}

void CFractal_View::mousePressEvent(QMouseEvent* event) {
  engine::FrameBuffer& fb = doc_->frameBuffer();
  const QPoint p = imagePoint(event->position().toPoint());
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if (event->button() == Qt::MiddleButton) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (startGesture(shift ? CameraGesture::Kind::Pan : CameraGesture::Kind::Orbit))
      gestureAnchor_ = event->position().toPoint();
    return;
  }
  if (event->button() == Qt::RightButton) {
    selectionJustHidden_ = fb.selectionAllowed && doc_->selectionShown();
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

  if (gesture_ && gesture_->kind() != CameraGesture::Kind::Dolly) {
    gesture_->drag(event->position() - gestureAnchor_, viewport()->height());
    return;
  }

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
  if (event->button() == Qt::MiddleButton) {
    if (gesture_ && gesture_->kind() != CameraGesture::Kind::Dolly) finishGesture();
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  leftDown_ = false;
  doc_->frameBuffer().selectionDragged = false;
}

void CFractal_View::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / kWheelNotch;
  if (notches == 0.0) return;
  if (event->modifiers() & Qt::ControlModifier) {
    setZoom(drawScale() * std::pow(kZoomStep, notches));
    return;
  }
  dollyAt(event->position().toPoint(), notches);
}

void CFractal_View::dollyAt(const QPoint& viewportPoint, double notches) {
  if (gesture_ && gesture_->kind() != CameraGesture::Kind::Dolly) return;
  if (!gesture_) {
    const auto start = startGesture(CameraGesture::Kind::Dolly);
    if (!start) return;
    // Toward the surface under the pointer, or over background toward the
    // point at the attractor's depth.
    engine::Vec3 direction = start->pose.direction;
    direction.normalize();
    const double centreDepth = (start->centre - start->pose.position).dot(direction);
    const QPoint pixel = imagePoint(viewportPoint);
    wheelTarget_ =
        doc_->scene()->worldPointAtPixel(pixel.x(), pixel.y(), centreDepth).value_or(start->centre);
    wheelNotches_ = 0;
  }
  wheelNotches_ += notches;
  gesture_->dolly(wheelNotches_, wheelTarget_);
  if (!gesture_->writable()) {
    emit statusMessage(tr(kNoCameraStatement));
    gesture_.reset();
    return;
  }
  wheelEnd_.start();
}

std::optional<CFractal_Doc::BuiltCamera> CFractal_View::startGesture(CameraGesture::Kind kind) {
  if (gesture_) return std::nullopt;
  QString refusal;
  const auto camera = doc_->builtCamera(refusal);
  if (!camera) {
    if (!refusal.isEmpty()) emit statusMessage(refusal);
    return std::nullopt;
  }
  doc_->showSelection(false);
  gesture_ = std::make_unique<CameraGesture>(*doc_, kind, *camera);
  return camera;
}

void CFractal_View::finishGesture() {
  if (!gesture_) return;
  if (!gesture_->writable()) emit statusMessage(tr(kNoCameraStatement));
  gesture_->finish();
  gesture_.reset();
  wheelEnd_.stop();
}

void CFractal_View::contextMenuEvent(QContextMenuEvent* event) {
  if (std::exchange(selectionJustHidden_, false)) return;
  QMenu::exec(actions(), event->globalPos(), nullptr, this);
}

}  // namespace app
