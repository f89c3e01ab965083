#pragma once

// Scenes whose attractors have a known shape, for the voxel and mesh tests.
#include <string>

namespace engine::testing {

// Eight half-size copies of itself: the solid cube |x|, |y|, |z| <= 1.
inline const std::string kSolidCube =
    "first = 1;\n"
    "for (i = 0; i <= 1; i++) for (j = 0; j <= 1; j++) for (k = 0; k <= 1; k++) {\n"
    "  if (first) set Parts = translate(i - 0.5, j - 0.5, k - 0.5) 0.5 C;\n"
    "  else set Parts += translate(i - 0.5, j - 0.5, k - 0.5) 0.5 C;\n"
    "  first = 0;\n"
    "}\n"
    "set C = Parts;\n"
    "camera position(0, 0, -5) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "build C; color(1, 0.5, 0);\n";

// The Menger sponge over |x|, |y|, |z| <= 1.
inline const std::string kMengerSponge =
    "first = 1;\n"
    "for (i = -1; i <= 1; i++) for (j = -1; j <= 1; j++) for (k = -1; k <= 1; k++)\n"
    "  if (abs(i) + abs(j) + abs(k) > 1) {\n"
    "    if (first) set Cubes = translate(2 * i, 2 * j, 2 * k) Sponge;\n"
    "    else set Cubes += translate(2 * i, 2 * j, 2 * k) Sponge;\n"
    "    first = 0;\n"
    "  }\n"
    "set Sponge = scale(1 / 3) Cubes;\n"
    "camera position(4, 3.3, -5.6) direction(-4, -3.3, 5.6) vertical(0, 1, 0);\n"
    "build Sponge;\n";

// Two solid cubes side by side in two colours: the left one red, the right
// one blue; together they span x from -3 to 3.
inline const std::string kTwoColouredCubes =
    kSolidCube.substr(0, kSolidCube.find("camera")) +
    "camera position(0, 0, -9) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "build translate(-2, 0, 0) C; color(1, 0, 0);\n"
    "build translate(2, 0, 0) C; color(0, 0, 1);\n";

// Eight spheres at the corners of a cube, each the inversions of the other
// seven: a set of the conformal type.
inline const std::string kEightSpheres =
    "r = 0.99;\n"
    "corner := (i % 2 * 2 - 1), (int(i / 2) % 2 * 2 - 1), (int(i / 4) * 2 - 1);\n"
    "for (i = 0; i < 8; i++) {\n"
    "  first = 1;\n"
    "  for (j = 0; j < 8; j++)\n"
    "    if (j != i) {\n"
    "      if (first) set Rest[i] = P[j];\n"
    "      else set Rest[i] += P[j];\n"
    "      first = 0;\n"
    "    }\n"
    "  set P[i] = bound(corner, r) inverse(corner, r) Rest[i];\n"
    "}\n"
    "set Cube = P[0] + P[1] + P[2] + P[3] + P[4] + P[5] + P[6] + P[7];\n"
    "camera position(2.3, 1.75, -3.3) direction(-2.3, -1.75, 3.3) vertical(0, 1, 0);\n"
    "build Cube;\n";

}  // namespace engine::testing
