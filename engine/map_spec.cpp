#include "map_spec.h"

#include <cmath>
#include <functional>

namespace engine {

int comparedArgumentCount(MapKind kind) {
  switch (kind) {
    case MapKind::Id:
    case MapKind::Empty:
      return 0;
    case MapKind::Weight:
      return 1;
    case MapKind::Scale:
    case MapKind::Translate:
    case MapKind::Reflect:
      return 3;
    case MapKind::Stretch:
    case MapKind::Inverse:
    case MapKind::Bound:
      return 4;
    case MapKind::Rotate:
    case MapKind::Affine2d:
    case MapKind::RotateV:
      return 6;
    case MapKind::Matrix:
      return 9;
  }
  return 0;
}

MapSpec MapSpec::make(MapKind kind, std::initializer_list<double> arguments) {
  MapSpec spec;
  spec.kind = int32_t(kind);
  for (double a : arguments) {
    if (spec.argCount == 10) break;
    spec.args[spec.argCount++] = a;
  }
  return spec;
}

bool MapSpec::operator==(const MapSpec& other) const {
  if (kind != other.kind || angleConverted != other.angleConverted) return false;
  const int n = comparedArgumentCount(mapKind());
  for (int i = 0; i < n; ++i)
    if (args[i] != other.args[i]) return false;
  return true;
}

size_t MapSpec::hash() const {
  // std::hash gives 0.0 and -0.0, which compare equal, the same value.
  size_t h = size_t(uint32_t(kind)) << 1 | size_t(angleConverted);
  const int n = comparedArgumentCount(mapKind());
  for (int i = 0; i < n; ++i) h = h * 1000003 ^ std::hash<double>{}(args[i]);
  return h;
}

bool MapSpec::argumentsFinite() const {
  const int n = comparedArgumentCount(mapKind());
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(args[i])) return false;
  return true;
}

}  // namespace engine
