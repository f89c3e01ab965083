#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

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

// Index of the angle among a "rotate" call's arguments.
inline constexpr int kRotateAngleArg = 3;

// One map call as the script wrote it, with its canonical arguments.
struct MapSpec {
  int32_t kind = int32_t(MapKind::Id);
  int32_t argCount = 0;  // arguments given before defaults were filled in
  double args[10] = {};
  // Set once the scene's preparation has turned a "rotate" angle into
  // radians, so that a later preparation does not convert it again and a new
  // call in degrees never matches the converted entry.
  bool angleConverted = false;

  // A call of `kind` with these canonical arguments (at most ten).
  static MapSpec make(MapKind kind, std::initializer_list<double> arguments);

  MapKind mapKind() const { return MapKind(kind); }
  // Same kind, same angle state and equal compared arguments.
  bool operator==(const MapSpec& other) const;
  // Equal specs hash equal.
  size_t hash() const;
  // No compared argument is infinite or NaN.
  bool argumentsFinite() const;
};

}  // namespace engine
