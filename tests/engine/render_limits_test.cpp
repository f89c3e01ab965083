// Render settings far beyond what a frame can use: the renderer must refuse
// or finish them, never overflow or run on without end.
#include <climits>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"
#include "engine/tile_tracer.h"
#include "engine/trace_context.h"

namespace engine {
namespace {

using lang::testing::kSquare;
using lang::testing::sceneOf;

TEST(RenderLimits, SubpixelFramesBeyondMemoryFailTheRender) {
  const struct {
    uint32_t width, height;
    int antialiasing;
  } cases[] = {
      {8, 8, INT_MAX},  // 8 * aa wrapped around to a negative width
      {8, 8, 65536},    // a single pixel's records fill 480 GB
  };
  for (const auto& c : cases) {
    const auto s = sceneOf(kSquare + "build S;", c.width, c.height);
    s->scene->render.antialiasing = c.antialiasing;
    EXPECT_FALSE(s->scene->renderFrame()) << c.antialiasing;
    EXPECT_EQ(s->scene->renderError, "Not enough memory") << c.antialiasing;
    EXPECT_FALSE(s->frameBuffer.valid) << c.antialiasing;
  }
}

TEST(RenderLimits, TracingLevelsEndWithTheLastRay) {
  // Rays that leave the square face-on come straight back to the eye and miss:
  // from the third level on, no ray is left, whatever the depth. The levels
  // skipped still count in the progress.
  const auto s = sceneOf(kSquare + "build S;", 8, 8);
  Fractal& scene = *s->scene;
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  s->frameBuffer.progress = 0.0;
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
  EXPECT_NEAR(s->frameBuffer.progress, 200.0, 1e-6);
}

}  // namespace
}  // namespace engine
