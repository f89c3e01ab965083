#pragma once

#include <QAbstractScrollArea>
#include <QPoint>

namespace app {

class CFractal_Doc;

// The image view of a document: draws the last image at its top left corner
// on white, shows the zoom selection, the world point under the pointer, and
// moves its window when dragged with Ctrl held.
class CFractal_View : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit CFractal_View(CFractal_Doc* doc, QWidget* parent = nullptr);
  ~CFractal_View() override;

  CFractal_Doc* fractalDoc() const { return doc_; }
  // The area the image may take without scroll bars.
  QSize clientSize() const { return maximumViewportSize(); }
  // The document has a new image: scroll range and drawing follow.
  void imageChanged();
  // Sizes the window so that the client area is `size` (an image size).
  void fitFrameToImageSize(QSize size);

 signals:
  // The world point under the pointer, for the status bar.
  void pointerText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPoint imagePoint(const QPoint& viewportPoint) const;
  void updateScrollRange();
  void dragFrame(const QPoint& globalPoint);

  CFractal_Doc* doc_;
  bool leftDown_ = false;
  QPoint lastGlobal_;
};

}  // namespace app
