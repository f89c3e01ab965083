#include "engine/camera.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "captured_output.h"
#include "engine/frame_buffer.h"
#include "engine/pixel_ray.h"
#include "scene_builder.h"
#include "synthetic_scene.h"

namespace engine {
namespace {

using testing::CapturedOutput;

// The attractor is bounded by a sphere of radius 2 about (1, 2, 3).
class CameraTest : public testing::CubeSceneTest {
 protected:
  CameraTest() { scene.rootOrigin = {1, 2, 3}; }
};

TEST_F(CameraTest, BasisIsOrthonormalAndTheUpVectorIsMadeOrthogonal) {
  scene.camera.direction = {0, 0, 2};
  scene.camera.verticalDirection = {0, 3, 1};
  scene.render.antialiasing = 3;
  scene.setupCamera();
  ASSERT_FALSE(scene.canceled);
  expectNear(scene.view.viewDir, {0, 0, 1});
  expectNear(scene.view.viewUp, {0, 1, 0});
  expectNear(scene.view.viewRight, {1, 0, 0});
  EXPECT_EQ(scene.view.subpixelWidth, 120);
  EXPECT_EQ(scene.view.subpixelHeight, 90);
  const double pixel = 2 * std::tan(scene.camera.fov / 2) / 30;
  EXPECT_NEAR(scene.view.subpixelSize * 3, pixel, 1e-15);

  PixelRay center;
  setSubpixelRay(scene, 60, 45, scene.camera.position, center);
  expectNear(center.direction, scene.view.viewDir);
  EXPECT_NEAR(center.cone, pixel, 1e-7);
  // The nine rays of pixel (25, 20) cross the image plane at whole subpixels.
  for (int i = 0; i < 9; ++i) {
    PixelRay ray;
    setSubpixelRay(scene, 75 + i % 3, 60 + i / 3, scene.camera.position, ray);
    const Vec3 onPlane = ray.direction * (1.0 / ray.direction.dot(scene.view.viewDir));
    EXPECT_NEAR(onPlane.dot(scene.view.viewRight), (15 + i % 3) * scene.view.subpixelSize, 1e-12);
    EXPECT_NEAR(onPlane.dot(scene.view.viewUp), (15 + i / 3) * scene.view.subpixelSize, 1e-12);
  }
  // The bottom row looks down by exactly half the vertical field of view.
  PixelRay bottom;
  setSubpixelRay(scene, 60, 0, scene.camera.position, bottom);
  EXPECT_NEAR(std::acos(bottom.direction.dot(scene.view.viewDir)), scene.camera.fov / 2, 1e-12);
  EXPECT_LT(bottom.direction.dot(scene.view.viewUp), 0.0);
}

TEST_F(CameraTest, AutomaticCameraFitsTheBoundingSphereBetweenTopAndBottom) {
  frame.scriptText = "camera position(11,2,3) vertical(0,0,1)";
  scene.camera.position = {11, 2, 3};
  scene.camera.verticalDirection = {0, 0, 1};
  scene.camera.autoCamera = true;
  CapturedOutput out;
  scene.setupCamera();
  ASSERT_FALSE(scene.canceled);
  expectNear(scene.view.viewDir, {-1, 0, 0});
  expectNear(scene.camera.position, {1 + 2.0 / std::sin(scene.camera.fov / 2), 2, 3});
  // The ray through the top edge of the image is tangent to the sphere.
  const Vec3 edge = scene.view.viewDir * std::cos(scene.camera.fov / 2) +
                    scene.view.viewUp * std::sin(scene.camera.fov / 2);
  const Vec3 toCenter = Vec3{1, 2, 3} - scene.camera.position;
  EXPECT_NEAR((toCenter - edge * toCenter.dot(edge)).length(), 2.0, 1e-12);
  EXPECT_NE(frame.scriptText.find("direction(-1,0,0)"), std::string::npos) << frame.scriptText;
  EXPECT_EQ(out.out(), "camera changed:\nold position(11,2,3)\n");
}

// Stereo eyes; footprint, normal radius and tracing depth per frame.
TEST_F(CameraTest, PerFrameSettings) {
  scene.camera.stereo = true;
  scene.camera.stereoSeparation = 0.5;
  scene.camera.focalDistance = 4.0;
  scene.render.footprintFactor = 0.7;
  scene.render.tracingDepth = 2;
  scene.setupCamera();
  expectNear(scene.view.leftEye, scene.camera.position - scene.view.viewRight * 0.25);
  expectNear(scene.view.rightEye, scene.camera.position + scene.view.viewRight * 0.25);
  EXPECT_NEAR(scene.view.subpixelSize, 2 * std::tan(scene.camera.fov / 2) * 4.0 / 30, 1e-15);
  EXPECT_EQ(scene.render.footprintFactor, 0.8);
  EXPECT_EQ(scene.render.normalRadiusFactor, 4.0);

  scene.camera.stereo = false;
  scene.render.tracingDepth = 3;
  scene.render.sectionEnabled = true;
  scene.render.sectionNormal = {0, 0, 2};
  scene.setupCamera();
  EXPECT_EQ(scene.camera.stereoSeparation, 0.0);
  EXPECT_EQ(scene.camera.focalDistance, 1.0);
  EXPECT_EQ(scene.render.footprintFactor, 0.5);
  EXPECT_EQ(scene.render.tracingDepth, 1);
  EXPECT_EQ(scene.render.normalRadiusFactor, 2.5);
  expectNear(scene.render.sectionNormal, {0, 0, 1});
}

// A finished frame of a flat wall at z = 10 in front of a camera at the
// origin that looks along z.
class FinishedFrameTest : public CameraTest {
 protected:
  FinishedFrameTest() {
    scene.camera.position = {0, 0, 0};
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
};

TEST_F(FinishedFrameTest, PointAtPixel) {
  const Vec3 p = wallPoint(5, 7);
  char expected[96];
  std::snprintf(expected, sizeof expected, "(%9.6f,%9.6f,%9.6f)", p.x, p.y, p.z);
  EXPECT_EQ(scene.pointAtPixel(5, 7), expected);
  EXPECT_NEAR(p.z, 10.0, 1e-5);
  frame.depth[size_t(29 - 7) * 40 + 5] = std::numeric_limits<float>::infinity();
  EXPECT_EQ(scene.pointAtPixel(5, 7), "oo");
  EXPECT_EQ(scene.pointAtPixel(40, 0), "");
  scene.camera.stereo = true;
  EXPECT_EQ(scene.pointAtPixel(1, 1), "");
  scene.camera.stereo = false;
  frame.valid = false;
  EXPECT_EQ(scene.pointAtPixel(1, 1), "");
}

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

TEST_F(FinishedFrameTest, ZoomIsSkippedWithoutSurfaceOrInStereo) {
  frame.selection = {20, 5, 30, 15};
  frame.zoomRequested = true;
  std::fill(frame.depth.begin(), frame.depth.end(), std::numeric_limits<float>::infinity());
  scene.setupCamera();
  EXPECT_EQ(scene.camera.position, (Vec3{0, 0, 0}));
  std::fill(frame.depth.begin(), frame.depth.end(), 10.0f);
  scene.camera.stereo = true;
  scene.setupCamera();
  EXPECT_EQ(scene.camera.position, (Vec3{0, 0, 0}));
}

}  // namespace
}  // namespace engine
