#include "engine/camera_moves.h"

#include <cmath>

#include <gtest/gtest.h>

namespace engine {
namespace {

// A point seen from the camera: along right, up and the view.
Vec3 seenFrom(const CameraPose& pose, const Vec3& point) {
  Vec3 dir = pose.direction, up = pose.vertical;
  dir.normalize();
  up -= dir * up.dot(dir);
  up.normalize();
  const Vec3 offset = point - pose.position;
  return {offset.dot(up.cross(dir)), offset.dot(up), offset.dot(dir)};
}

const Vec3 kCentre{0.3, -0.2, 0.5};

// Orbits keep the centre's distance and its place in the image; a pitch
// changes the angle to the vertical by its amount, stopping short of the
// poles. Pans shift the image by their amounts; both keep the vertical.
// (Dollies are checked through the image view's wheel.)
TEST(CameraMoves, OrbitAndPanKeepWhatTheyShould) {
  struct Case {
    CameraPose pose;
    double yaw, pitch;
    double angleToVertical;  // afterwards; 0: not checked
  } cases[] = {
      {{{0.3, -0.2, -4.5}, {0, 0, 1}, {0, 1, 0}}, 1.0, 0.0, 1.5707963267948966},
      {{{0.3, -0.2, -4.5}, {0, 0, 1}, {0, 1, 0}}, 0.0, 0.5, 1.0707963267948966},
      {{{0.3, -0.2, -4.5}, {0, 0, 1}, {0, 1, 0}}, 2.0, -3.0, 3.1415926535897931 - kMinPoleAngle},
      {{{0, 6, 0}, {0.01, -1, 0.02}, {0.2, 0.1, 1}}, 3.0, 0.1, 0},  // tilted, centre off the middle
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.yaw << " " << c.pitch);
    const CameraPose orbit = orbitCamera(c.pose, kCentre, c.yaw, c.pitch);
    EXPECT_NEAR((orbit.position - kCentre).length(), (c.pose.position - kCentre).length(), 1e-9);
    const Vec3 before = seenFrom(c.pose, kCentre), after = seenFrom(orbit, kCentre);
    EXPECT_NEAR((after - before).length(), 0.0, 1e-9);
    EXPECT_TRUE(orbit.vertical == c.pose.vertical && !(orbit.position == c.pose.position));
    if (c.angleToVertical > 0) {
      EXPECT_NEAR(std::acos(orbit.direction.dot(c.pose.vertical)), c.angleToVertical, 1e-9);
    }

    const CameraPose pan = panCamera(c.pose, c.yaw, c.pitch);
    EXPECT_NEAR((seenFrom(pan, kCentre) - (before - Vec3{c.yaw, c.pitch, 0})).length(), 0, 1e-9);
    EXPECT_TRUE(pan.direction == c.pose.direction);
  }
}

}  // namespace
}  // namespace engine
