// Render settings far beyond what a frame can use: the renderer must refuse
// or finish them, never overflow or run on without end.
#include <climits>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "engine/tile_tracer.h"
#include "engine/trace_context.h"
#include "synthetic_scene.h"

namespace engine {
namespace {

using testing::SyntheticScene;

// A square |x|, |y| <= 1 at z = 0 seen face-on by the default camera at z = -5.
class RenderLimitsTest : public ::testing::Test {
 protected:
  RenderLimitsTest() {
    scene.sets.push_back(testing::flatSquare(0));
    scene.frameBuffer = &frame;
    frame.requestedWidth = frame.requestedHeight = 8;
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
    scene.render.antialiasing = c.antialiasing;
    scene.canceled = false;
    scene.renderError.clear();
    EXPECT_FALSE(scene.renderFrame()) << c.antialiasing;
    EXPECT_EQ(scene.renderError, "Not enough memory") << c.antialiasing;
    EXPECT_FALSE(frame.valid) << c.antialiasing;
  }
}

TEST_F(RenderLimitsTest, TracingLevelsEndWithTheLastRay) {
  // Rays that leave the square face-on come straight back to the eye and miss:
  // from the third level on, no ray is left, whatever the depth. The levels
  // skipped still count in the progress.
  frame.progress = 0.0;
  for (const int depth : {1000, INT_MAX}) {
    scene.render.tracingDepth = depth;
    scene.setupCamera();
    ASSERT_FALSE(scene.canceled) << scene.renderError;
    TraceContext ctx(scene);
    ctx.x1 = scene.view.subpixelWidth;
    ctx.y1 = scene.view.subpixelHeight;
    ctx.rays.resize(size_t(ctx.tileRayCount()));
    for (PixelRay& ray : ctx.rays) ray.flags = PixelRay::kActive;
    ctx.currentEye = scene.camera.position;
    ASSERT_TRUE(traceTile(ctx, 100.0));
    ASSERT_EQ(ctx.level, 2) << depth;
    ctx.flushProgress();
  }
  EXPECT_NEAR(frame.progress, 200.0, 1e-6);
}

}  // namespace
}  // namespace engine
