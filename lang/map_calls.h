#pragma once

#include <antlr/Token.hpp>

#include "engine/map_spec.h"

namespace lang {

// Map calls of set expressions: "scale(...)", "rotate(...)" and the others.

// The token is one of the thirteen map keywords.
bool isMapKeyword(int tokenType);
// The most arguments the map keyword accepts.
int mapArgumentLimit(int keywordType);
// The map table entry of a call with `count` arguments, defaults filled in;
// raises "wrong number of arguments in map" at the keyword for a count the
// kind does not accept.
engine::MapSpec mapSpecFromCall(const antlr::RefToken& keyword, const double* args, int count);
// A number v standing as a factor: "scale"(v), or "id" for exactly 1.
engine::MapSpec scaleMapSpec(double factor);

// The fractal type a map needs: 0 affine, 1 conformal, -1 either.
int requiredFractalType(const engine::MapSpec& spec);

}  // namespace lang
