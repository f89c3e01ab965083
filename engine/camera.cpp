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
  return scene.view.viewRight * p.x + scene.view.viewUp * p.y + scene.view.viewDir * p.z +
         scene.camera.position;
}

// Moves the camera forward and sideways so that the surface points seen in the
// selected rectangle of the last image fill 95 percent of the next frame.
// False when the selection holds no surface.
bool zoomToSelection(Fractal& scene, const FrameBuffer& frame) {
  const double tanHalf = std::tan(scene.camera.fov / 2);
  const double tanV = tanHalf * 0.95;
  const double tanH = (scene.view.subpixelWidth * tanHalf / scene.view.subpixelHeight) * 0.95;
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
  scene.camera.position += scene.view.viewDir * std::min(forwardH, forwardV) +
                           scene.view.viewUp * sideV + scene.view.viewRight * sideH;
  return true;
}

}  // namespace

void setSubpixelRay(const Fractal& scene, int x, int y, const Vec3& eye, PixelRay& ray) {
  const double a = (x - scene.view.subpixelWidth * 0.5) * scene.view.subpixelSize;
  const double b = (y - scene.view.subpixelHeight * 0.5) * scene.view.subpixelSize;
  const Vec3 target = scene.view.viewRight * a + scene.view.viewUp * b +
                      scene.view.viewDir * scene.camera.focalDistance + scene.camera.position;
  Vec3 v = target - eye;
  const double length = v.length();
  if (length >= kMinLength) v = v * (1.0 / length);
  ray.origin = eye;
  ray.direction = v;
  ray.cone = float(scene.view.subpixelSize / length * scene.render.antialiasing);
}

Vec3 pixelDirection(const Fractal& scene, int px, int py, int width, int height) {
  const double pixelSize = scene.render.antialiasing * scene.view.subpixelSize;
  Vec3 d{(px - width * 0.5) * pixelSize, (py - height * 0.5) * pixelSize,
         scene.camera.focalDistance};
  d.normalize();
  return d;
}

void Fractal::setupCamera() {
  if (frameBuffer) {
    // A script's antialiasing times the image size overflows an int long
    // before such a frame could be traced.
    const int64_t width = frameBuffer->requestedWidth, height = frameBuffer->requestedHeight;
    if (!subpixelFrameFits(width, height, render.antialiasing)) {
      fail("Not enough memory");
      return;
    }
    view.subpixelWidth = int(width * render.antialiasing);
    view.subpixelHeight = int(height * render.antialiasing);
  }
  // Without a field of view, or with the image plane at or behind the eyes,
  // every ray would be degenerate and no node ever small enough.
  if (!(camera.fov > 0.0 && camera.fov < std::numbers::pi)) {
    fail("Invalid field of view");
    return;
  }
  view.viewUp = camera.verticalDirection;

  TraceContext rootOnly(*this);
  if (!initRoot(rootOnly) || !rootOnly.top) {
    fail("Set is void");
    return;
  }
  const Vec3 center = rootOnly.top->center;
  const double radius2 = rootOnly.top->radius2;
  if (camera.autoCamera) {
    camera.direction = center - camera.position;
    camera.direction.normalize();
    camera.position = center - camera.direction * (std::sqrt(radius2) / std::sin(camera.fov / 2));
    if (frameBuffer) cameraChanged(*frameBuffer, camera.position, camera.direction);
  }
  rootOnly.popNode();

  view.viewDir = camera.direction;
  if (!view.viewDir.normalize()) {
    fail("Invalid direction");
    return;
  }
  view.viewUp -= view.viewDir * view.viewUp.dot(view.viewDir);
  if (!view.viewUp.normalize()) {
    fail("Invalid vertical direction");
    return;
  }
  view.viewRight = view.viewUp.cross(view.viewDir);
  if (camera.stereo) {
    view.leftEye = camera.position - view.viewRight * (camera.stereoSeparation * 0.5);
    view.rightEye = camera.position + view.viewRight * (camera.stereoSeparation * 0.5);
  } else {
    camera.stereoSeparation = 0.0;
    camera.focalDistance = 1.0;
  }
  if (!(camera.focalDistance > 0.0 && std::isfinite(camera.focalDistance))) {
    fail("Invalid focal distance");
    return;
  }
  view.subpixelSize = (std::tan(camera.fov * 0.5) * camera.focalDistance * 2) / view.subpixelHeight;

  if (frameBuffer && frameBuffer->zoomRequested && !camera.autoCamera && !camera.stereo &&
      !frameBuffer->depth.empty() && frameBuffer->valid && zoomToSelection(*this, *frameBuffer))
    cameraPositionChanged(*frameBuffer, camera.position);

  placeLights(*this, center, radius2);

  render.footprintFactor = 0.8;
  render.normalRadiusFactor = 2.5;
  if (render.sectionEnabled) {
    render.sectionNormal.normalize();
    render.footprintFactor = 0.5;
    render.tracingDepth = 1;
  }
  if (render.tracingDepth > 1) render.normalRadiusFactor = 4.0;
}

std::optional<Fractal::PixelDepth> Fractal::depthAtPixel(int x, int y) const {
  if (!frameBuffer || camera.stereo) return std::nullopt;
  const FrameBuffer& frame = *frameBuffer;
  const int width = int(frame.width), height = int(frame.height);
  if (!frame.valid || frame.depth.empty() || x < 0 || y < 0 || x >= width || y >= height)
    return std::nullopt;
  const int py = height - 1 - y;
  return PixelDepth{pixelDirection(*this, x, py, width, height),
                    frame.depth[size_t(py) * width + x]};
}

std::string Fractal::pointAtPixel(int x, int y) const {
  const std::optional<PixelDepth> at = depthAtPixel(x, y);
  if (!at) return {};
  if (std::isinf(at->depth)) return "oo";
  const Vec3 p = cameraToWorld(*this, at->direction * double(at->depth));
  char text[96];
  std::snprintf(text, sizeof text, "(%9.6f,%9.6f,%9.6f)", p.x, p.y, p.z);
  return text;
}

std::optional<Vec3> Fractal::worldPointAtPixel(int x, int y, double missDepth) const {
  const std::optional<PixelDepth> at = depthAtPixel(x, y);
  if (!at) return std::nullopt;
  // The depth buffer holds distances along the ray; a miss is put where the
  // ray meets the plane at missDepth in front of the camera.
  const double distance = std::isinf(at->depth) ? missDepth / at->direction.z : at->depth;
  return cameraToWorld(*this, at->direction * distance);
}

}  // namespace engine
