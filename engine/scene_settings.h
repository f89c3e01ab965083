#pragma once

#include <vector>

#include "light.h"
#include "material.h"
#include "vec3.h"

namespace engine {

// The camera statement's values. A camera statement starts from the default
// field of view without stereo; position and directions stay from the last one.
struct CameraSettings {
  Vec3 position{0, 0, -5};
  Vec3 direction{0, 0, 1};
  Vec3 verticalDirection{0, 1, 0};
  double fov = 0.8726646259944445;  // vertical, radians (50 degrees)
  bool stereo = false;
  double stereoSeparation = 0.0;
  double focalDistance = 1.0;
  bool autoCamera = false;  // aim at the attractor and choose the distance
};

// The settings statements' values and the renderer's tuning factors, as a
// build starts; setupCamera adapts the factors to each frame.
struct RenderSettings {
  bool useRadians = false;  // the script's angle unit, also of its rotate maps
  int tracingDepth = 1;
  int antialiasing = 1;
  bool sectionEnabled = false;
  Vec3 sectionNormal;
  double sectionOffset = 0.0;
  double precisionFactor = 2.0;
  double footprintFactor = 0.7;
  double normalRadiusFactor = 2.0;
  double shadowNodeFactor = 2.0;
  double shadowFootprintFactor = 1.0;
};

// The light statements' values.
struct LightingSettings {
  std::vector<Light> lights;
  Rgb ambientLight;
  Rgb background;
  bool reflectBackground = false;
};

}  // namespace engine
