#include "camera_gesture.h"

#include <cmath>
#include <numbers>

#include "engine/camera_text.h"

namespace app {

namespace {
// A drag over the view's height turns the camera half around.
constexpr double kOrbitRadiansPerHeight = std::numbers::pi;
// Each wheel notch brings the camera this much nearer its target.
constexpr double kDollyPerNotch = 0.8;
}  // namespace

CameraGesture::CameraGesture(CFractal_Doc& doc, Kind kind, const CFractal_Doc::BuiltCamera& start)
    : doc_(doc),
      kind_(kind),
      start_(start),
      script_(doc.scriptFromEditor()),
      cameraOffset_(doc.cameraStatementOffsetIn(script_)) {}

bool CameraGesture::drag(QPointF delta, double viewHeight) {
  if (viewHeight <= 0.0) return false;
  const QPointF share = delta / viewHeight;
  if (kind_ == Kind::Orbit) {
    // The attractor turns with the pointer: the camera goes the other way.
    return write(orbitCamera(start_.pose, start_.centre, -share.x() * kOrbitRadiansPerHeight,
                             share.y() * kOrbitRadiansPerHeight));
  }
  // The point at the centre's depth stays under the pointer.
  engine::Vec3 direction = start_.pose.direction;
  direction.normalize();
  const double depth = (start_.centre - start_.pose.position).dot(direction);
  const double height = engine::viewHeightAt(std::abs(depth), start_.fov);
  return write(panCamera(start_.pose, -share.x() * height, share.y() * height));
}

bool CameraGesture::dolly(double notches, const engine::Vec3& target) {
  return write(dollyCamera(start_.pose, target, std::pow(kDollyPerNotch, notches)));
}

bool CameraGesture::write(const engine::CameraPose& pose) {
  if (!writable_) return false;
  std::string script = script_;
  const std::string direction = engine::cameraDirectionText(pose.direction);
  std::string oldPosition, oldDirection;
  if (!engine::replaceCameraArgumentsIn(
          script, cameraOffset_, engine::cameraPositionText(pose.position),
          kind_ == Kind::Orbit ? &direction : nullptr, oldPosition, oldDirection)) {
    writable_ = false;
    return false;
  }
  if (!written_) oldPosition_ = oldPosition, oldDirection_ = oldDirection;
  doc_.putRewrittenScript(script, written_);
  written_ = true;
  doc_.buildCamera(true);
  return true;
}

void CameraGesture::finish() {
  if (!written_) return;
  engine::logCameraChange(kind_ == Kind::Orbit, oldPosition_, oldDirection_);
  doc_.buildCamera(false);
}

}  // namespace app
