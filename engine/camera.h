#pragma once

#include "vec3.h"

namespace engine {

class Fractal;
struct PixelRay;

// Sets origin, direction and cone of the primary ray of subpixel (x, y), y
// counted from the bottom row, leaving `eye`. Both eyes of a stereo pair look
// through the same image plane, centred in front of the camera position.
void setSubpixelRay(const Fractal& scene, int x, int y, const Vec3& eye, PixelRay& ray);

// Unit direction, in the camera basis (right, up, forward), through image
// pixel (px, py) of a width x height image, py counted from the bottom row.
Vec3 pixelDirection(const Fractal& scene, int px, int py, int width, int height);

}  // namespace engine
