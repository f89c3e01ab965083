#pragma once

#include <cstdint>

namespace engine {

// The map keywords of the scene language; the values are stored in scenes'
// map tables and must not change.
enum class MapKind : int32_t {
  Id = 0,
  Scale = 1,
  Translate = 2,
  Rotate = 3,
  Stretch = 4,
  Inverse = 5,
  Reflect = 6,
  Matrix = 7,
  Affine2d = 8,
  RotateV = 9,
  Weight = 10,
  Empty = 11,
  Bound = 12,
};

// Number of leading arguments that a kind uses and that take part in equality;
// also the most arguments the language accepts for it.
int comparedArgumentCount(MapKind kind);

// One map call as the script wrote it, with its canonical arguments.
struct MapSpec {
  int32_t kind = int32_t(MapKind::Id);
  int32_t argCount = 0;  // arguments given before defaults were filled in
  double args[10] = {};

  MapKind mapKind() const { return MapKind(kind); }
  // Same kind and equal compared arguments.
  bool operator==(const MapSpec& other) const;
};

}  // namespace engine
