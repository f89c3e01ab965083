#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QTimer>
#include <memory>

#include "camera_gesture.h"
#include "engine/vec3.h"

namespace app {

class CFractal_Doc;

// The image view of a document: draws the last image at its top left corner
// on white, at the screen's density, zoomed to fit the window or by a factor;
// shows the zoom selection and the world point under the pointer, moves its
// window when dragged with Ctrl held, and moves the camera with the middle
// button (orbit; pan with Shift) and the wheel (dolly; zoom with Ctrl).
class CFractal_View : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit CFractal_View(CFractal_Doc* doc, QWidget* parent = nullptr);
  ~CFractal_View() override;

  CFractal_Doc* fractalDoc() const { return doc_; }
  // The area the image may take without scroll bars.
  QSize clientSize() const { return maximumViewportSize(); }
  // The client area in device pixels: the size to render at.
  QSize renderSize() const;
  // The document has a new image: scroll range and drawing follow.
  void imageChanged();
  // Sizes the window so that the client area shows an image of `imageSize` at
  // 100%, as far as the workspace allows.
  void fitFrameToImageSize(QSize imageSize);

  // The image fills the window whatever its size, or is shown at `zoom`
  // times its size on the screen (1: each image pixel on a device pixel).
  void zoomToFit();
  void setZoom(double zoom);
  bool fitsWindow() const { return fit_; }
  double zoom() const { return zoom_; }

 signals:
  // The world point under the pointer, for the status bar.
  void pointerText(const QString& text);
  // Why a camera gesture cannot move the camera, for the status bar.
  void statusMessage(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void addZoomActions();
  // Interface pixels per image pixel as drawn.
  double drawScale() const;
  QPoint imagePoint(const QPoint& viewportPoint) const;
  QPoint scrollOffset() const;
  void updateScrollRange();
  void dragFrame(const QPoint& globalPoint);
  // The camera the gesture starts from; nothing when it cannot start.
  std::optional<CFractal_Doc::BuiltCamera> startGesture(CameraGesture::Kind kind);
  void dollyAt(const QPoint& viewportPoint, double notches);
  void finishGesture();

  CFractal_Doc* doc_;
  bool leftDown_ = false;
  bool selectionJustHidden_ = false;  // the right click that hid it opens no menu
  QPoint lastGlobal_;
  bool fit_ = false;
  double zoom_ = 1.0;
  std::unique_ptr<CameraGesture> gesture_;
  QPoint gestureAnchor_;     // where the gesture's pointer started, in the viewport
  double wheelNotches_ = 0;  // of the running wheel gesture, toward its target
  engine::Vec3 wheelTarget_;
  QTimer wheelEnd_;  // a pause in the wheel ends its gesture
};

}  // namespace app
