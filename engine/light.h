#pragma once

#include <cmath>

#include "material.h"
#include "vec3.h"

namespace engine {

enum class LightKind : int { Point = 0, Spot = 1, Directional = 2 };

struct Light {
  Rgb diffuseColor;
  Rgb specularColor;
  Vec3 position;
  Vec3 direction;
  double attenuation[3] = {1.0, 0.0, 0.0};  // a d^2 + b d + c
  double spotInnerCos = std::cos(0.0017453292519888888);
  double spotOuterCos = std::cos(0.005235987755966666);
  double beamDistribution = 10.0;
  double shadows = 1.0;
  bool attachment = true;  // false: position and direction are camera coordinates
  LightKind kind = LightKind::Point;
  int shadowSwitch = 1;
};

}  // namespace engine
