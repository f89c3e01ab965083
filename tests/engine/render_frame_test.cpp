#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"
#include "engine/tile_layout.h"
#include "engine/tile_tracer.h"
#include "engine/trace_context.h"

namespace engine {
namespace {

using lang::testing::kSquare;
using lang::testing::sceneOf;

int toByte(double v) {
  return std::clamp(int(v * 255.0 + 0.5), 0, 255);
}

// Red, green and blue of pixel (x, y), y counted from the top row.
std::vector<int> rgb(const FrameBuffer& frame, int x, int y) {
  const uint8_t* p = frame.bits.data() + size_t(frame.height - 1 - y) * frame.stride + x * 3;
  return {p[2], p[1], p[0]};
}

float depthAt(const FrameBuffer& frame, int x, int y) {
  return frame.depth[size_t(frame.height - 1 - y) * frame.width + x];
}

TEST(Render, LitSquareOnBackgroundWithDepth) {
  const auto s = sceneOf(kSquare +
                         "background(0.2, 0.4, 0.6); build S;\n"
                         "light color(0.3) position(0, 0, -5) attenuation(0, 0, 1);");
  ASSERT_TRUE(s->scene->renderFrame()) << s->scene->renderError;
  const FrameBuffer& frame = s->frameBuffer;
  ASSERT_EQ(frame.stride, 120u);
  // Facing the light head-on: diffuse 0.3 * 1.7 and specular 0.3 * 0.4.
  EXPECT_NEAR(rgb(frame, 20, 15)[0], 0.63 * 255, 2.0);
  EXPECT_EQ(rgb(frame, 20, 15)[1], rgb(frame, 20, 15)[0]);
  // The background and the depth of a miss: the runner's image and depth tests.
  EXPECT_NEAR(depthAt(frame, 20, 15), 5.0, 0.05);
  EXPECT_NEAR(frame.progress, 100.0, 1e-6);
  // A camera error keeps the previous image.
  const std::vector<uint8_t> before = frame.bits;
  s->scene->camera.direction = {0, 0, 0};
  EXPECT_FALSE(s->scene->renderFrame());
  EXPECT_TRUE(frame.valid && frame.bits == before);
}

// Colours are clipped; depth zero draws only the background; subpixels are
// averaged (the nearest gives the depth); stereo views are added.
TEST(Render, ClippingDepthZeroAntialiasingAndStereo) {
  auto s = sceneOf(kSquare + "ambient(10, -1, 0.5); background(0.2, 0.4, 0.6); build S;");
  ASSERT_TRUE(s->scene->renderFrame());
  EXPECT_EQ(rgb(s->frameBuffer, 20, 15), (std::vector<int>{255, 0, 128}));
  s->scene->render.tracingDepth = 0;
  ASSERT_TRUE(s->scene->renderFrame());
  for (int i = 0; i < 40 * 30; ++i) {
    ASSERT_EQ(rgb(s->frameBuffer, i % 40, i / 40), (std::vector<int>{51, 102, 153}));
    ASSERT_TRUE(std::isinf(s->frameBuffer.depth[size_t(i)]));
  }

  s = sceneOf(kSquare + "ambient(1); antialiasing(2); build S;");
  ASSERT_TRUE(s->scene->renderFrame());
  EXPECT_EQ(s->frameBuffer.width, 40u);
  EXPECT_EQ(rgb(s->frameBuffer, 20, 15)[1], 255);
  int partial = 0;
  for (int x = 0; x < 40; ++x) {
    const int v = rgb(s->frameBuffer, x, 15)[1];
    if (v == 0 || v == 255) continue;
    ++partial;
    EXPECT_TRUE(v == 64 || v == 128 || v == 191) << v;  // 1, 2 or 3 of 4 subpixels
    EXPECT_FALSE(std::isinf(depthAt(s->frameBuffer, x, 15)));
  }
  EXPECT_GT(partial, 0);

  s = sceneOf(kSquare +
              "camera position(0, 0, -5) direction(0, 0, 1) vertical(0, 1, 0) "
              "stereo(0.4, 5); ambient(0.25); build S;");
  ASSERT_TRUE(s->scene->renderFrame());
  EXPECT_EQ(rgb(s->frameBuffer, 20, 15)[1], toByte(0.5));
  EXPECT_EQ(rgb(s->frameBuffer, 0, 0)[1], 0);
}

// Settings far beyond what a frame can use are refused or finish, never
// overflow or run on without end.
TEST(Render, SubpixelFramesBeyondMemoryFailTheRender) {
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

TEST(Render, TracingLevelsEndWithTheLastRay) {
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

// A mirror floor (reflection 0.5) below a cube (reflection 1), seen at a
// slant in ambient light only. One level draws no reflection; a second hit
// adds its light times the first reflection factor; reflected rays that leave
// the scene pick up the background when asked.
TEST(Render, ReflectionsOfTheSecondLevel) {
  const std::string scene =
      kSquare +
      "camera position(0, -6, 3) direction(0, 7, -2.4) vertical(0, 0, 1);\n"
      "set C = translate(-0.5, -0.5, -0.5) 0.5 C + translate(0.5, -0.5, -0.5) 0.5 C\n"
      "  + translate(-0.5, 0.5, -0.5) 0.5 C + translate(0.5, 0.5, -0.5) 0.5 C\n"
      "  + translate(-0.5, -0.5, 0.5) 0.5 C + translate(0.5, -0.5, 0.5) 0.5 C\n"
      "  + translate(-0.5, 0.5, 0.5) 0.5 C + translate(0.5, 0.5, 0.5) 0.5 C;\n"
      "ambient(0.4); background(0.2); build translate(0, 1, 0.6) 0.5 C;\n"
      "build 4 S; reflection(0.5);\n";
  const int floorThenCube = toByte(0.4 + 0.5 * 0.4), cubeThenFloor = toByte(0.4 + 1.0 * 0.4),
            floorThenSky = toByte(0.4 + 0.5 * 0.2);
  const struct {
    const char* settings;
    std::vector<int> seen, unseen;
  } cases[] = {
      {"", {toByte(0.2), toByte(0.4)}, {floorThenCube, cubeThenFloor, floorThenSky}},
      {"tracing_depth(2);",
       {toByte(0.2), toByte(0.4), floorThenCube, cubeThenFloor},
       {floorThenSky}},
      {"tracing_depth(2); reflect_background(1);", {floorThenSky, floorThenCube}, {toByte(0.4)}},
  };
  for (const auto& c : cases) {
    const auto s = sceneOf(scene + c.settings);
    ASSERT_TRUE(s->scene->renderFrame());
    std::vector<int> g;
    for (int i = 0; i < 40 * 30; ++i) g.push_back(rgb(s->frameBuffer, i % 40, i / 40)[1]);
    for (int v : c.seen) EXPECT_GT(std::count(g.begin(), g.end(), v), 0) << c.settings << v;
    for (int v : c.unseen) EXPECT_EQ(std::count(g.begin(), g.end(), v), 0) << c.settings << v;
    if (c.unseen.size() == 1u) continue;
    for (int v : g) EXPECT_NE(std::find(c.seen.begin(), c.seen.end(), v), c.seen.end()) << v;
  }
}

// A turned tetrahedron of picked copies above a floor with two
// shadow-casting lights, antialiased, with reflections. Every render prepares
// the sets again: the angle must be converted once.
const std::string kBusyScene =
    kSquare +
    "camera position(1, -5, 4) direction(-1, 5, -3.2) vertical(0, 0, 1);\n"
    "set T = (translate(0.5, 0.5, 0.5) 0.5 + translate(0.5, -0.5, -0.5) 0.5\n"
    "  + translate(-0.5, 0.5, -0.5) 0.5 + translate(-0.5, -0.5, 0.5) 0.5) % 3 T;\n"
    "ambient(0.1); build translate(0, 0, 1.2) rotate(30) T; build 3 S; reflection(0.3);\n"
    "light color(0.5) position(3, -2, 6) attenuation(0, 0, 1);\n"
    "light color(0.3) position(-4, -1, 3) attenuation(0, 0, 1);\n"
    "antialiasing(2); tracing_depth(2);";

TEST(Render, EveryWorkerCountAndTileBudgetGivesTheSameImage) {
  const auto s = sceneOf(kBusyScene, 64, 48);
  FrameBuffer& frame = s->frameBuffer;
  s->scene->threadCount = 1;
  ASSERT_TRUE(s->scene->renderFrame());
  const std::vector<uint8_t> bits = frame.bits;
  const std::vector<float> depth = frame.depth;
  const long misses =
      std::count_if(depth.begin(), depth.end(), [](float z) { return std::isinf(z); });
  ASSERT_TRUE(misses > 0 && misses < long(depth.size()));
  for (const auto& [threads, budget] : {std::pair{2, 512000ul}, {3, 1ul << 40}, {0, 20000ul}}) {
    s->scene->threadCount = threads;
    frame.memoryBudget = budget;
    ASSERT_TRUE(s->scene->renderFrame());
    EXPECT_TRUE(frame.bits == bits && frame.depth == depth) << threads << " workers, " << budget;
  }
}

// Copies taken while the workers render hold finished pixels or the cleared
// image, never a torn mix; every tile is counted once.
TEST(Render, CopiesDuringTheRenderShowFinishedTiles) {
  const auto s = sceneOf(kBusyScene, 64, 48);
  FrameBuffer& frame = s->frameBuffer;
  ASSERT_TRUE(s->scene->renderFrame());
  const std::vector<uint8_t> finalBits = frame.bits;
  frame.resizeImage(1, 1, 24);  // the next render starts from a cleared image
  const uint64_t counted = frame.finishedTiles;
  std::atomic<bool> finished{false};
  std::vector<ImageCopy> copies;
  std::thread copier([&] {
    while (!finished && copies.size() < 2000) copies.push_back(frame.copyImage());
  });
  s->scene->threadCount = 2;
  frame.memoryBudget = 20000;
  ASSERT_TRUE(s->scene->renderFrame());
  finished = true;
  copier.join();
  EXPECT_EQ(frame.finishedTiles - counted, layoutTiles(128, 96, 2, 20000).count());
  EXPECT_TRUE(frame.copyImage().bits == finalBits);
  for (const ImageCopy& copy : copies) {
    for (size_t i = 0; copy.width == 64 && i < copy.bits.size(); i += 3) {
      const bool cleared = !copy.bits[i] && !copy.bits[i + 1] && !copy.bits[i + 2];
      ASSERT_TRUE(cleared || std::equal(&copy.bits[i], &copy.bits[i] + 3, &finalBits[i])) << i;
    }
  }
}

// Every record enters the hit walk, every hit the normal walk, and the hits
// that face a shadowing light its shadow walk; the counts do not depend on
// the workers, and every walk that took rays took time.
TEST(Render, WalkStatsCountTheRaysOfEachWalk) {
  const struct {
    const char* light;
    int threads;
    bool shadows;
  } cases[] = {
      {"light color(0.3) position(0, 0, -5) attenuation(0, 0, 1);", 1, true},
      {"light color(0.3) position(0, 0, -5) attenuation(0, 0, 1);", 2, true},
      {"light color(0.3) position(0, 0, -5) attenuation(0, 0, 1) shadows(0);", 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.light);
    const auto s = sceneOf(kSquare + "build S;\n" + c.light);
    s->scene->threadCount = c.threads;
    ASSERT_TRUE(s->scene->renderFrame());
    const std::vector<float>& depth = s->frameBuffer.depth;
    const auto hits = uint64_t(
        std::count_if(depth.begin(), depth.end(), [](float z) { return std::isfinite(z); }));
    ASSERT_TRUE(hits > 0 && hits < depth.size());
    const WalkStats& walks = s->scene->walkStats;
    EXPECT_EQ(walks.rays[WalkStats::kHit], depth.size());
    EXPECT_EQ(walks.rays[WalkStats::kNormal], hits);
    EXPECT_EQ(walks.rays[WalkStats::kShadow], c.shadows ? hits : 0u);
    for (int w = 0; w < WalkStats::kWalks; ++w)
      EXPECT_EQ(walks.seconds[w] > 0.0, walks.rays[w] > 0) << w;
  }
}

TEST(Render, AStopFromAnotherThreadEndsTheRenderPromptly) {
  const auto s = sceneOf(kBusyScene + "antialiasing(3);", 640, 480);
  s->scene->threadCount = 2;
  std::atomic<bool> finished{false};
  std::thread stopper([&] {
    while (!finished && s->frameBuffer.progress < 0.5)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    s->scene->canceled = true;
  });
  s->scene->renderFrame();
  finished = true;
  stopper.join();
  EXPECT_FALSE(s->frameBuffer.valid);
  EXPECT_LT(s->frameBuffer.progress, 50.0);
}

}  // namespace
}  // namespace engine
