#pragma once

namespace engine {

struct Rgb {
  double r = 0.0, g = 0.0, b = 0.0;
  bool operator==(const Rgb&) const = default;
};

// Surface of the attractor. A default-constructed record has the values that
// a "build" statement's material items start from.
struct Material {
  Rgb diffuse{1.0, 1.0, 1.0};
  Rgb specular{0.4, 0.4, 0.4};
  Rgb ambient{1.0, 1.0, 1.0};
  double reflection = 1.0;
  double shininess = 5.0;
  double power = 3.0;  // exponent of the normal estimation
  double weight = 0.0;

  // The scene's first material, used where the attractor carries none.
  static Material sceneDefault() {
    Material m;
    m.diffuse = {1.7, 1.7, 1.7};
    return m;
  }
};

}  // namespace engine
