#include "camera_moves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace engine {

namespace {

// Rodrigues' rotation of v by `angle` about the unit axis.
Vec3 rotated(const Vec3& v, const Vec3& axis, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return v * c + axis.cross(v) * s + axis * (axis.dot(v) * (1.0 - c));
}

struct ImageAxes {
  Vec3 right, up;
  bool valid = false;
};

// The image's axes as the renderer derives them from direction and vertical.
ImageAxes imageAxes(const Vec3& unitDirection, const Vec3& vertical) {
  ImageAxes axes;
  axes.up = vertical - unitDirection * vertical.dot(unitDirection);
  axes.valid = axes.up.normalize();
  axes.right = axes.up.cross(unitDirection);
  return axes;
}

}  // namespace

CameraPose orbitCamera(const CameraPose& pose, const Vec3& centre, double yaw, double pitch) {
  CameraPose result = pose;
  Vec3 direction = pose.direction, vertical = pose.vertical;
  if (!direction.normalize() || !vertical.normalize()) return result;
  Vec3 offset = pose.position - centre;

  offset = rotated(offset, vertical, yaw);
  direction = rotated(direction, vertical, yaw);

  const ImageAxes axes = imageAxes(direction, vertical);
  if (axes.valid) {
    const double fromPole = std::acos(std::clamp(direction.dot(vertical), -1.0, 1.0));
    const double turn =
        std::clamp(pitch, fromPole - (std::numbers::pi - kMinPoleAngle), fromPole - kMinPoleAngle);
    // About the right axis a positive angle turns the direction away from up.
    offset = rotated(offset, axes.right, -turn);
    direction = rotated(direction, axes.right, -turn);
  }
  result.position = centre + offset;
  result.direction = direction;
  return result;
}

CameraPose panCamera(const CameraPose& pose, double right, double up) {
  CameraPose result = pose;
  Vec3 direction = pose.direction;
  if (!direction.normalize()) return result;
  const ImageAxes axes = imageAxes(direction, pose.vertical);
  if (axes.valid) result.position += axes.right * right + axes.up * up;
  return result;
}

CameraPose dollyCamera(const CameraPose& pose, const Vec3& target, double factor) {
  CameraPose result = pose;
  result.position = target + (pose.position - target) * factor;
  return result;
}

double viewHeightAt(double depth, double fov) {
  return 2.0 * depth * std::tan(fov / 2);
}

}  // namespace engine
