#include "engine/camera_moves.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace engine {
namespace {

constexpr double kPi = std::numbers::pi;

Vec3 unit(Vec3 v) {
  v.normalize();
  return v;
}

// Where a point lies seen from the camera: along right, up and the view.
Vec3 cameraCoordinates(const CameraPose& pose, const Vec3& point) {
  const Vec3 dir = unit(pose.direction);
  const Vec3 up = unit(pose.vertical - dir * pose.vertical.dot(dir));
  const Vec3 offset = point - pose.position;
  return {offset.dot(up.cross(dir)), offset.dot(up), offset.dot(dir)};
}

void expectNear(const Vec3& a, const Vec3& b, double tolerance = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

const Vec3 kCentre{0.3, -0.2, 0.5};

// An orbit keeps the distance to the centre and the centre's place in the
// image, for cameras that look at the centre or past it, tilted verticals
// included.
TEST(CameraMoves, OrbitKeepsTheCentreWhereItIsSeen) {
  struct Case {
    CameraPose pose;
    double yaw, pitch;
  } cases[] = {
      {{{0, 0, -5}, {0.3, -0.2, 5.5}, {0, 1, 0}}, 0.4, 0.0},
      {{{0, 0, -5}, {0.3, -0.2, 5.5}, {0, 1, 0}}, 0.0, 0.6},
      {{{0, 0, -5}, {0.3, -0.2, 5.5}, {0, 1, 0}}, -2.0, -0.5},
      {{{2, 3, -4}, {0.1, -0.5, 1}, {0, 1, 0}}, 1.0, 0.3},  // the centre off the image's middle
      {{{2, 3, -4}, {-1, -2, 3}, {0.2, 1, 0.1}}, 0.7, -0.2},
      {{{0, 6, 0}, {0.01, -1, 0.02}, {0, 0, 1}}, 3.0, 0.1},  // looking down a z-up scene
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.yaw << " " << c.pitch);
    const CameraPose moved = orbitCamera(c.pose, kCentre, c.yaw, c.pitch);
    EXPECT_NEAR((moved.position - kCentre).length(), (c.pose.position - kCentre).length(), 1e-9);
    expectNear(cameraCoordinates(moved, kCentre), cameraCoordinates(c.pose, kCentre));
    EXPECT_NEAR(moved.direction.length(), 1.0, 1e-12);
    EXPECT_FALSE(moved.position == c.pose.position);
    EXPECT_TRUE(moved.vertical == c.pose.vertical);
  }
}

// The yaw turns about the vertical (the height above the centre stays), the
// pitch changes the angle to the vertical by its amount and stops short of
// either pole.
TEST(CameraMoves, OrbitAnglesAndThePoles) {
  const CameraPose level{{0.3, -0.2, -4.5}, {0, 0, 1}, {0, 1, 0}};
  struct Case {
    double yaw, pitch;
    double angleToVertical;  // of the direction afterwards
  } cases[] = {
      {1.0, 0.0, kPi / 2},       {0.0, 0.5, kPi / 2 - 0.5},        {0.0, -0.5, kPi / 2 + 0.5},
      {0.0, 3.0, kMinPoleAngle}, {2.0, -3.0, kPi - kMinPoleAngle},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.yaw << " " << c.pitch);
    const CameraPose moved = orbitCamera(level, kCentre, c.yaw, c.pitch);
    EXPECT_NEAR(std::acos(moved.direction.dot(unit(level.vertical))), c.angleToVertical, 1e-9);
    if (c.pitch == 0.0) {
      EXPECT_NEAR(moved.position.y, level.position.y, 1e-12);
      EXPECT_NEAR(std::atan2(moved.direction.x, moved.direction.z), c.yaw, 1e-12);
    }
  }
  // Past the pole a second drag still stops there: the image keeps an up.
  const CameraPose top = orbitCamera(level, kCentre, 0.0, 3.0);
  const CameraPose again = orbitCamera(top, kCentre, 0.0, 1.0);
  EXPECT_NEAR(std::acos(again.direction.dot(level.vertical)), kMinPoleAngle, 1e-9);
}

// A pan shifts the camera along the image's axes: a point keeps its depth
// and moves the opposite way in the image.
TEST(CameraMoves, PanMovesAlongTheImageAxes) {
  struct Case {
    CameraPose pose;
    double right, up;
  } cases[] = {
      {{{0, 0, -5}, {0, 0, 1}, {0, 1, 0}}, 1.0, 0.0},
      {{{0, 0, -5}, {0, 0, 1}, {0, 1, 0}}, 0.0, -2.0},
      {{{2, 3, -4}, {-1, -2, 3}, {0, 1, 0}}, 0.5, 0.25},
      {{{0, 6, 0}, {0, -1, 0.1}, {0, 0, 1}}, -1.5, 0.75},
  };
  for (const Case& c : cases) {
    const CameraPose moved = panCamera(c.pose, c.right, c.up);
    const Vec3 before = cameraCoordinates(c.pose, kCentre);
    expectNear(cameraCoordinates(moved, kCentre), before - Vec3{c.right, c.up, 0});
    EXPECT_TRUE(moved.direction == c.pose.direction);
  }
}

// A dolly moves along the line to the target by the factor, in or out.
TEST(CameraMoves, DollyMovesTowardTheTarget) {
  const CameraPose pose{{1, 2, -6}, {0, 0, 1}, {0, 1, 0}};
  const Vec3 target{0.5, 1, 1};
  for (const double factor : {0.8, 0.5, 1.25}) {
    const CameraPose moved = dollyCamera(pose, target, factor);
    const Vec3 before = target - pose.position, after = target - moved.position;
    EXPECT_NEAR(after.length(), before.length() * factor, 1e-12);
    EXPECT_NEAR(after.cross(before).length(), 0.0, 1e-12);
    EXPECT_GT(after.dot(before), 0.0);
    EXPECT_TRUE(moved.direction == pose.direction);
  }
}

TEST(CameraMoves, ViewHeightFollowsTheFieldOfView) {
  EXPECT_NEAR(viewHeightAt(3.0, kPi / 2), 6.0, 1e-12);
  EXPECT_NEAR(viewHeightAt(2.0, 2 * std::atan(0.25)), 1.0, 1e-12);
}

}  // namespace
}  // namespace engine
