#pragma once

#include <string>

#include "engine/material.h"
#include "engine/vec3.h"

namespace lang {

// Truncation toward zero; values an int cannot hold are clamped (NaN gives 0).
int truncateToInt(double v);

// base ^ exponent as the language defines it: through the base-2 logarithm,
// NaN for a base that is not positive.
double power(double base, double exponent);

// The value of a number literal as written, independent of the C locale.
double numberLiteralValue(const std::string& text);
// The value of an integer literal; too large values are clamped.
int integerLiteralValue(const std::string& text);

// The name part that an index adds to a variable or set name: a[2.7] is a.2.
std::string indexSuffix(double index);

// A colour from one value (grey), three (r, g, b) or four (r, g, b scaled by
// the fourth).
engine::Rgb colorFromArguments(const double* args, int count);
// A vector from three values (x, y, z).
engine::Vec3 vectorFromArguments(const double* args);

}  // namespace lang
