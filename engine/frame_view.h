#pragma once

#include <vector>

#include "light.h"
#include "vec3.h"

namespace engine {

// What setupCamera derives from the settings for one frame.
struct FrameView {
  Vec3 viewDir, viewUp, viewRight;  // orthonormal
  Vec3 leftEye, rightEye;
  double subpixelSize = 0.0;
  int subpixelWidth = 0, subpixelHeight = 0;  // Ws, Hs
  std::vector<Light> placedLights;            // in world space
};

}  // namespace engine
