#include "map_calls.h"

#include <algorithm>
#include <optional>

#include "FractalParserTokenTypes.hpp"
#include "script_error.h"

namespace lang {

using engine::MapKind;
using engine::MapSpec;
using Tokens = FractalParserTokenTypes;

namespace {

std::optional<MapKind> mapKindOf(int tokenType) {
  switch (tokenType) {
    case Tokens::LITERAL_id:
      return MapKind::Id;
    case Tokens::LITERAL_scale:
      return MapKind::Scale;
    case Tokens::LITERAL_translate:
      return MapKind::Translate;
    case Tokens::LITERAL_rotate:
      return MapKind::Rotate;
    case Tokens::LITERAL_stretch:
      return MapKind::Stretch;
    case Tokens::LITERAL_inverse:
      return MapKind::Inverse;
    case Tokens::LITERAL_reflect:
      return MapKind::Reflect;
    case Tokens::LITERAL_matrix:
      return MapKind::Matrix;
    case Tokens::LITERAL_affine2d:
      return MapKind::Affine2d;
    case Tokens::LITERAL_rotate_v:
      return MapKind::RotateV;
    case Tokens::LITERAL_weight:
      return MapKind::Weight;
    case Tokens::LITERAL_bound:
      return MapKind::Bound;
    case Tokens::LITERAL_empty:
      return MapKind::Empty;
    default:
      return std::nullopt;
  }
}

// Fills the canonical arguments from what the call gave; false for a count
// the kind does not accept.
bool fillDefaults(MapSpec& spec, int count) {
  double* a = spec.args;
  switch (spec.mapKind()) {
    case MapKind::Id:
    case MapKind::Empty:
      return count == 0;
    case MapKind::Scale:
      if (count == 1) {
        if (a[0] == 1.0) spec.kind = int32_t(MapKind::Id);
        a[1] = a[2] = a[0];
        return true;
      }
      return count == 3;
    case MapKind::Translate:
      return count == 2 || count == 3;  // a missing tz is already 0
    case MapKind::Rotate:
      if (count == 1) {  // the angle alone: about the z axis
        a[3] = a[0];
        a[0] = a[1] = 0.0;
        a[2] = 1.0;
      }
      if (count == 1 || count == 4) a[4] = a[5] = 1.0;
      return count == 1 || count == 4 || count == 6;
    case MapKind::Inverse:
      if (count == 0) a[3] = 1.0;  // the unit sphere about the origin
      return count == 0 || count == 4;
    case MapKind::Stretch:
    case MapKind::Bound:
      return count == 4;
    case MapKind::Reflect:
      return count == 3;
    case MapKind::Matrix:
      return count == 9;
    case MapKind::Affine2d:
    case MapKind::RotateV:
      return count == 6;
    case MapKind::Weight:
      return count == 1;
  }
  return false;
}

}  // namespace

bool isMapKeyword(int tokenType) {
  return mapKindOf(tokenType).has_value();
}

int mapArgumentLimit(int keywordType) {
  return engine::comparedArgumentCount(mapKindOf(keywordType).value_or(MapKind::Id));
}

MapSpec mapSpecFromCall(const antlr::RefToken& keyword, const double* args, int count) {
  const MapKind kind = mapKindOf(keyword->getType()).value_or(MapKind::Id);
  MapSpec spec;
  spec.kind = int32_t(kind);
  spec.argCount = count;
  std::copy(args, args + std::min(count, engine::comparedArgumentCount(kind)), spec.args);
  if (!fillDefaults(spec, count)) raiseAt(keyword, "wrong number of arguments in map");
  return spec;
}

MapSpec scaleMapSpec(double factor) {
  MapSpec spec;
  spec.kind = int32_t(MapKind::Scale);
  spec.argCount = 1;
  spec.args[0] = factor;
  fillDefaults(spec, 1);
  return spec;
}

int requiredFractalType(const MapSpec& spec) {
  switch (spec.mapKind()) {
    case MapKind::Scale:
      return spec.argCount == 3 ? 0 : -1;
    case MapKind::Rotate:
      return spec.argCount == 6 ? 0 : -1;
    case MapKind::Matrix:
    case MapKind::Affine2d:
      return 0;
    case MapKind::Stretch:
    case MapKind::Inverse:
      return 1;
    default:
      return -1;
  }
}

}  // namespace lang
