#include "engine/camera.h"

#include <cmath>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"

namespace engine {
namespace {

using testing::CapturedOutput;

// The bounding sphere fits between the top and bottom of the image: the rays
// through the edges are tangent to it.
TEST(Camera, AutomaticCameraFitsTheBoundingSphereBetweenTopAndBottom) {
  const auto s = lang::testing::sceneOf(
      "camera position(11, 2, 3) vertical(0, 0, 1);\n"
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build translate(1, 2, 3) A;");
  Fractal& scene = *s->scene;
  ASSERT_TRUE(scene.prepare());
  const Vec3 center = scene.preparedSets()->boundCenter;
  const double radius = std::sqrt(scene.preparedSets()->boundRadius2);
  scene.setupCamera();
  EXPECT_NEAR((scene.view.viewDir - Vec3{-1, 0, 0}).length(), 0, 1e-12);
  const Vec3 offset = scene.camera.position - center;
  EXPECT_NEAR(offset.x, radius / std::sin(scene.camera.fov / 2), 1e-12);
  EXPECT_NEAR(std::hypot(offset.y, offset.z), 0, 1e-12);
}

// A finished frame of a flat wall at z = 10 in front of a camera at the
// origin that looks along z: every selected point lies within the 95 percent
// frame after the zoom, and the tighter bound is met.
TEST(Camera, ZoomBringsTheSelectionIntoThe95PercentFrame) {
  const auto s = lang::testing::sceneOf(
      "camera position(0, 0, 0) direction(0, 0, 1) vertical(0, 1, 0);\n"
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;");
  Fractal& scene = *s->scene;
  FrameBuffer& frame = s->frameBuffer;
  ASSERT_TRUE(scene.prepare());
  scene.setupCamera();
  frame.width = 40;
  frame.height = 30;
  frame.depth.resize(40 * 30);
  std::vector<Vec3> wall;  // top row first
  for (int i = 0; i < 40 * 30; ++i) {
    const Vec3 ray = pixelDirection(scene, i % 40, 29 - i / 40, 40, 30);
    const float depth = float(10.0 / ray.z);  // as the zoom reads it
    frame.depth[size_t(29 - i / 40) * 40 + size_t(i % 40)] = depth;
    wall.push_back(ray * double(depth));
  }
  frame.valid = true;
  frame.scriptText = "camera position(0,0,0) direction(0,0,1) vertical(0,1,0)";
  frame.selection = {20, 5, 30, 15};
  frame.zoomRequested = true;
  CapturedOutput out;
  scene.setupCamera();
  EXPECT_EQ(out.out(), "camera position changed:\nold position(0,0,0)\n");
  const double tanV = std::tan(scene.camera.fov / 2) * 0.95, tanH = tanV * 40 / 30;
  double tightest = 0.0;
  for (int i = 0; i < 100; ++i) {
    const Vec3 p = wall[size_t(5 + i / 10) * 40 + size_t(20 + i % 10)] - scene.camera.position;
    tightest = std::max({tightest, std::fabs(p.x) / p.z / tanH, std::fabs(p.y) / p.z / tanV});
  }
  EXPECT_GT(scene.camera.position.z, 0.0);
  EXPECT_NEAR(tightest, 1.0, 1e-9);
}

// The world point under a pixel: on the square (z = 0) where the ray hits it,
// else on the plane at the given depth; nothing outside the frame or before
// it is finished.
TEST(Camera, WorldPointUnderAPixel) {
  const auto s = lang::testing::sceneOf(lang::testing::kSquare + "build S;", 40, 30);
  Fractal& scene = *s->scene;
  EXPECT_FALSE(scene.worldPointAtPixel(20, 15, 5.0));
  ASSERT_TRUE(scene.renderFrame()) << scene.renderError;
  for (const auto& [x, y, missDepth, z] :
       {std::tuple{22, 13, 3.0, 0.0}, {16, 17, 3.0, 0.0}, {0, 0, 3.0, -2.0}, {39, 29, 7.0, 2.0}}) {
    const std::optional<Vec3> p = scene.worldPointAtPixel(x, y, missDepth);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->z, z, 0.01) << x;
    EXPECT_TRUE((p->x > 0) == (x >= 20) && (p->y > 0) == (y < 15)) << x;  // right, up: +x, +y
  }
  EXPECT_FALSE(scene.worldPointAtPixel(40, 0, 5.0));
}

}  // namespace
}  // namespace engine
