#include "camera.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "camera_text.h"
#include "fractal.h"
#include "frame_buffer.h"
#include "lighting.h"
#include "pixel_ray.h"
#include "sphere_node.h"
#include "tile_layout.h"
#include "trace_context.h"

namespace engine {

namespace {

Vec3 cameraToWorld(const Fractal& scene, const Vec3& p) {
  return scene.viewRight * p.x + scene.viewUp * p.y + scene.viewDir * p.z + scene.position;
}

// Moves the camera forward and sideways so that the surface points seen in the
// selected rectangle of the last image fill 95 percent of the next frame.
// False when the selection holds no surface.
bool zoomToSelection(Fractal& scene, const FrameBuffer& frame) {
  const double tanHalf = std::tan(scene.fov / 2);
  const double tanV = tanHalf * 0.95;
  const double tanH = (scene.subpixelWidth * tanHalf / scene.subpixelHeight) * 0.95;
  const int width = int(frame.width), height = int(frame.height);
  const SelectionRect& s = frame.selection;
  constexpr double kInf = std::numeric_limits<double>::infinity();
  double a1 = kInf, a2 = kInf, a3 = kInf, a4 = kInf;
  bool counted = false;
  for (int x = std::max(s.left, 0); x < std::min(s.right, width); ++x) {
    for (int y = std::max(s.top, 0); y < std::min(s.bottom, height); ++y) {
      const int py = height - 1 - y;
      const float z = frame.depth[size_t(py) * width + x];
      if (std::isinf(z)) continue;
      counted = true;
      const Vec3 p = pixelDirection(scene, x, py, width, height) * double(z);
      a1 = std::min(a1, p.z * tanH + p.x);
      a2 = std::min(a2, p.z * tanH - p.x);
      a3 = std::min(a3, p.z * tanV + p.y);
      a4 = std::min(a4, p.z * tanV - p.y);
    }
  }
  if (!counted) return false;
  const double forwardH = ((a2 + a1) * 0.5) / tanH;
  const double sideH = (a1 - a2) * 0.5;
  const double forwardV = ((a4 + a3) * 0.5) / tanV;
  const double sideV = (a3 - a4) * 0.5;
  scene.position +=
      scene.viewDir * std::min(forwardH, forwardV) + scene.viewUp * sideV + scene.viewRight * sideH;
  return true;
}

}  // namespace

void setSubpixelRay(const Fractal& scene, int x, int y, const Vec3& eye, PixelRay& ray) {
  const double a = (x - scene.subpixelWidth * 0.5) * scene.subpixelSize;
  const double b = (y - scene.subpixelHeight * 0.5) * scene.subpixelSize;
  const Vec3 target =
      scene.viewRight * a + scene.viewUp * b + scene.viewDir * scene.focalDistance + scene.position;
  Vec3 v = target - eye;
  const double length = v.length();
  if (length >= kMinLength) v = v * (1.0 / length);
  ray.origin = eye;
  ray.direction = v;
  ray.cone = float(scene.subpixelSize / length * scene.antialiasing);
}

Vec3 pixelDirection(const Fractal& scene, int px, int py, int width, int height) {
  const double pixelSize = scene.antialiasing * scene.subpixelSize;
  Vec3 d{(px - width * 0.5) * pixelSize, (py - height * 0.5) * pixelSize, scene.focalDistance};
  d.normalize();
  return d;
}

void Fractal::setupCamera() {
  if (frameBuffer) {
    // A script's antialiasing times the image size overflows an int long
    // before such a frame could be traced.
    const int64_t width = frameBuffer->requestedWidth, height = frameBuffer->requestedHeight;
    if (!subpixelFrameFits(width, height, antialiasing)) {
      fail("Not enough memory");
      return;
    }
    subpixelWidth = int(width * antialiasing);
    subpixelHeight = int(height * antialiasing);
  }
  // Without a field of view, or with the image plane at or behind the eyes,
  // every ray would be degenerate and no node ever small enough.
  if (!(fov > 0.0 && fov < std::numbers::pi)) {
    fail("Invalid field of view");
    return;
  }
  viewUp = verticalDirection;

  TraceContext rootOnly(*this);
  if (!initRoot(rootOnly) || !rootOnly.top) {
    fail("Set is void");
    return;
  }
  const Vec3 center = rootOnly.top->center;
  const double radius2 = rootOnly.top->radius2;
  if (autoCamera) {
    direction = center - position;
    direction.normalize();
    position = center - direction * (std::sqrt(radius2) / std::sin(fov / 2));
    if (frameBuffer) cameraChanged(*frameBuffer, position, direction);
  }
  rootOnly.popNode();

  viewDir = direction;
  if (!viewDir.normalize()) {
    fail("Invalid direction");
    return;
  }
  viewUp -= viewDir * viewUp.dot(viewDir);
  if (!viewUp.normalize()) {
    fail("Invalid vertical direction");
    return;
  }
  viewRight = viewUp.cross(viewDir);
  if (stereo) {
    leftEye = position - viewRight * (stereoSeparation * 0.5);
    rightEye = position + viewRight * (stereoSeparation * 0.5);
  } else {
    stereoSeparation = 0.0;
    focalDistance = 1.0;
  }
  if (!(focalDistance > 0.0 && std::isfinite(focalDistance))) {
    fail("Invalid focal distance");
    return;
  }
  subpixelSize = (std::tan(fov * 0.5) * focalDistance * 2) / subpixelHeight;

  if (frameBuffer && frameBuffer->zoomRequested && !autoCamera && !stereo &&
      !frameBuffer->depth.empty() && frameBuffer->valid && zoomToSelection(*this, *frameBuffer))
    cameraPositionChanged(*frameBuffer, position);

  placeLights(*this, center, radius2);

  footprintFactor = 0.8;
  normalRadiusFactor = 2.5;
  if (sectionEnabled) {
    sectionNormal.normalize();
    footprintFactor = 0.5;
    tracingDepth = 1;
  }
  if (tracingDepth > 1) normalRadiusFactor = 4.0;
}

std::string Fractal::pointAtPixel(int x, int y) const {
  if (!frameBuffer || stereo) return {};
  const FrameBuffer& frame = *frameBuffer;
  const int width = int(frame.width), height = int(frame.height);
  if (!frame.valid || frame.depth.empty() || x < 0 || y < 0 || x >= width || y >= height) return {};
  const int py = height - 1 - y;
  const float z = frame.depth[size_t(py) * width + x];
  if (std::isinf(z)) return "oo";
  const Vec3 p = cameraToWorld(*this, pixelDirection(*this, x, py, width, height) * double(z));
  char text[96];
  std::snprintf(text, sizeof text, "(%9.6f,%9.6f,%9.6f)", p.x, p.y, p.z);
  return text;
}

}  // namespace engine
