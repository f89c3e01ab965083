#pragma once

#include <cstdint>

#include "vec3.h"

namespace engine {

struct Material;

struct Vec3f {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

// Working record of one subpixel ray of a tile.
struct PixelRay {
  static constexpr uint32_t kActive = 1u;      // still traced
  static constexpr uint32_t kBackground = 2u;  // no surface seen yet

  Vec3 origin;     // start of the current ray; after a hit, the hit point
  Vec3 direction;  // unit
  Vec3f normal;
  float weight = 1.0f;  // product of the reflection factors so far
  double t = 0.0;       // nearest hit so far; in a shadow pass, the distance to the light
  const Material* material = nullptr;  // material of the nearest hit; null: no hit
  uint32_t flags = 0;
  Vec3f color;
  double travelled = 0.0;  // path length from the eye to origin
  float cone = 0.0f;       // width of one output pixel at unit distance
  PixelRay* next = nullptr;
};

}  // namespace engine
