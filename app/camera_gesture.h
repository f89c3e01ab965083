#pragma once

#include <QPointF>
#include <QString>
#include <string>

#include "engine/camera_moves.h"
#include "fractal_doc.h"

namespace app {

// One pointer gesture on the camera of a document's last build: it rewrites
// the camera statement of the script at every step, all steps together one
// undo step of the editor, and builds quick previews while it goes on and
// the full picture when it ends. The document must outlive it.
class CameraGesture {
 public:
  enum class Kind { Orbit, Pan, Dolly };

  CameraGesture(CFractal_Doc& doc, Kind kind, const CFractal_Doc::BuiltCamera& start);

  Kind kind() const { return kind_; }
  // Orbit and pan: the pointer has moved by `delta` interface pixels since
  // the gesture started, over a view `viewHeight` pixels high.
  bool drag(QPointF delta, double viewHeight);
  // Dolly: `notches` wheel steps in all since the gesture started, toward
  // `target` (negative: away from it).
  bool dolly(double notches, const engine::Vec3& target);
  // Logs the old camera values and builds the full picture.
  void finish();

  // False when the script has no camera statement to rewrite.
  bool writable() const { return writable_; }

 private:
  bool write(const engine::CameraPose& pose);

  CFractal_Doc& doc_;
  Kind kind_;
  CFractal_Doc::BuiltCamera start_;
  std::string script_;  // the script as the gesture found it
  size_t cameraOffset_;
  std::string oldPosition_, oldDirection_;
  bool written_ = false;
  bool writable_ = true;
};

}  // namespace app
