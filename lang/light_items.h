#pragma once

#include <cmath>

#include "engine/light.h"
#include "values.h"

namespace lang {

// The items of one light statement, in the order written; a repeated item
// overwrites. The record starts with the light defaults.
class LightItems {
 public:
  void setPosition(const double* xyz) {
    light_.position = vectorFromArguments(xyz);
    positionGiven_ = true;
  }
  void setDirection(const double* xyz) {
    light_.direction = vectorFromArguments(xyz);
    directionGiven_ = true;
  }
  // "color": the diffuse and the specular colour.
  void setColor(const engine::Rgb& color) {
    light_.diffuseColor = light_.specularColor = color;
    colorGiven_ = true;
  }
  void setDiffuse(const engine::Rgb& color) {
    light_.diffuseColor = color;
    colorGiven_ = true;
  }
  void setSpecular(const engine::Rgb& color) {
    light_.specularColor = color;
    colorGiven_ = true;
  }
  void setAttenuation(const double* coefficients) {
    for (int i = 0; i < 3; ++i) light_.attenuation[i] = coefficients[i];
  }
  // Inner and outer angle, in the script's unit of `angleFactor` radians.
  void setSpotAngles(const double* angles, double angleFactor) {
    light_.spotInnerCos = std::cos(angles[0] * angleFactor);
    light_.spotOuterCos = std::cos(angles[1] * angleFactor);
  }
  void setBeamDistribution(double value) { light_.beamDistribution = value; }
  void setShadows(double value) { light_.shadows = value; }
  void setAttachment(double value) { light_.attachment = value != 0.0; }

  // The record, of the kind that the position and direction items decide.
  engine::Light light() const {
    using engine::LightKind;
    engine::Light light = light_;
    light.kind = positionGiven_ ? (directionGiven_ ? LightKind::Spot : LightKind::Point)
                                : LightKind::Directional;
    return light;
  }
  bool colorGiven() const { return colorGiven_; }
  bool placeGiven() const { return positionGiven_ || directionGiven_; }

 private:
  engine::Light light_;
  bool colorGiven_ = false, positionGiven_ = false, directionGiven_ = false;
};

}  // namespace lang
