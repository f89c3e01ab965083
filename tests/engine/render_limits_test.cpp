// Render settings far beyond what a frame can use: the renderer must refuse
// or finish them, never overflow or run on without end.
#include <climits>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "synthetic_scene.h"

namespace engine {
namespace {

using testing::SyntheticScene;

// A square |x|, |y| <= 1 at z = 0 seen face-on from z = -5.
class RenderLimitsTest : public ::testing::Test {
 protected:
  RenderLimitsTest() {
    scene.sets.push_back(testing::flatSquare(0));
    scene.frameBuffer = &frame;
    frame.requestedWidth = 8;
    frame.requestedHeight = 8;
    scene.verticalDirection = {0, 1, 0};
  }

  SyntheticScene scene;
  FrameBuffer frame;
};

TEST_F(RenderLimitsTest, SubpixelFramesBeyondMemoryFailTheRender) {
  const struct {
    uint32_t width, height;
    int antialiasing;
  } cases[] = {
      {8, 8, INT_MAX},     // 8 * aa wrapped around to a negative width
      {65535, 1, 100000},  // wrapped to a negative width as well
      {8, 8, 65536},       // a single pixel's records fill 480 GB
  };
  for (const auto& c : cases) {
    frame.requestedWidth = c.width;
    frame.requestedHeight = c.height;
    scene.antialiasing = c.antialiasing;
    scene.canceled = false;
    scene.renderError.clear();
    EXPECT_FALSE(scene.renderFrame()) << c.antialiasing;
    EXPECT_EQ(scene.renderError, "Not enough memory") << c.antialiasing;
    EXPECT_FALSE(frame.valid) << c.antialiasing;
  }
}

}  // namespace
}  // namespace engine
