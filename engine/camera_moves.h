#pragma once

#include "vec3.h"

namespace engine {

// The camera values that pointer gestures change. Every move starts from the
// pose at the start of its gesture, so a drag ends on the same camera however
// many steps it took.
struct CameraPose {
  Vec3 position;
  Vec3 direction;  // any length
  Vec3 vertical;   // the camera's up hint; no move changes it
};

// How close the direction may come to the vertical (radians): the image's
// up direction is undefined along it.
inline constexpr double kMinPoleAngle = 0.02;

// Turns the camera about `centre`: by `yaw` radians about the vertical, then
// by `pitch` about the camera's right axis (positive looks further up). The
// distance to the centre and the centre's place in the image stay; the
// pitch stops kMinPoleAngle short of either pole. The direction comes out
// unit length.
CameraPose orbitCamera(const CameraPose& pose, const Vec3& centre, double yaw, double pitch);

// Moves the camera sideways by `right` and upwards by `up` (world lengths,
// along the image's axes); the direction stays.
CameraPose panCamera(const CameraPose& pose, double right, double up);

// Moves the camera along the line to `target` so that its distance becomes
// `factor` times as large (below 1 nearer); the direction stays.
CameraPose dollyCamera(const CameraPose& pose, const Vec3& target, double factor);

// The world length that the image's height spans at `depth` in front of a
// camera with vertical field of view `fov`.
double viewHeightAt(double depth, double fov);

}  // namespace engine
