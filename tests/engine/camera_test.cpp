#include "engine/camera.h"

#include <cmath>

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
  s->frameBuffer.scriptText = "camera position(11,2,3) vertical(0,0,1)";
  ASSERT_TRUE(scene.prepare());
  const Vec3 center = scene.preparedSets()->boundCenter;
  const double radius = std::sqrt(scene.preparedSets()->boundRadius2);
  CapturedOutput out;
  scene.setupCamera();
  ASSERT_FALSE(scene.canceled);
  EXPECT_NEAR((scene.view.viewDir - Vec3{-1, 0, 0}).length(), 0, 1e-12);
  const Vec3 offset = scene.camera.position - center;
  EXPECT_NEAR(offset.x, radius / std::sin(scene.camera.fov / 2), 1e-12);
  EXPECT_NEAR(std::hypot(offset.y, offset.z), 0, 1e-12);
  EXPECT_NE(s->frameBuffer.scriptText.find("direction(-1,0,0)"), std::string::npos);
  EXPECT_EQ(out.out(), "camera changed:\nold position(11,2,3)\n");
}

// A finished frame of a flat wall at z = 10 in front of a camera at the
// origin that looks along z.
class FinishedFrameTest : public ::testing::Test {
 protected:
  FinishedFrameTest() {
    EXPECT_TRUE(scene.prepare());
    scene.setupCamera();
    frame.width = 40;
    frame.height = 30;
    frame.depth.resize(40 * 30);
    for (int i = 0; i < 40 * 30; ++i)
      frame.depth[size_t(i)] = float(10.0 / pixelDirection(scene, i % 40, i / 40, 40, 30).z);
    frame.valid = true;
  }
  Vec3 wallPoint(int x, int yFromTop) const {
    const int py = 29 - yFromTop;
    return pixelDirection(scene, x, py, 40, 30) * double(frame.depth[size_t(py) * 40 + x]);
  }
  const std::unique_ptr<lang::testing::Interpreter> s = lang::testing::sceneOf(
      "camera position(0, 0, 0) direction(0, 0, 1) vertical(0, 1, 0);\n"
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;");
  Fractal& scene = *s->scene;
  FrameBuffer& frame = s->frameBuffer;
};

TEST_F(FinishedFrameTest, ZoomBringsTheSelectionIntoThe95PercentFrame) {
  frame.scriptText = "camera position(0,0,0) direction(0,0,1) vertical(0,1,0)";
  frame.selection = {20, 5, 30, 15};
  frame.zoomRequested = true;
  CapturedOutput out;
  scene.setupCamera();
  EXPECT_GT(scene.camera.position.z, 0.0);
  EXPECT_EQ(out.out(), "camera position changed:\nold position(0,0,0)\n");
  // Every selected point lies within the shrunk frame; the tighter bound is met.
  const double tanV = std::tan(scene.camera.fov / 2) * 0.95, tanH = tanV * 40 / 30;
  double tightest = 0.0;
  for (int i = 0; i < 100; ++i) {
    const Vec3 p = wallPoint(20 + i % 10, 5 + i / 10) - scene.camera.position;
    tightest = std::max({tightest, std::fabs(p.x) / p.z / tanH, std::fabs(p.y) / p.z / tanV});
  }
  EXPECT_NEAR(tightest, 1.0, 1e-9);
}

}  // namespace
}  // namespace engine
