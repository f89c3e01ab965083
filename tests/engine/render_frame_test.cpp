#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "synthetic_scene.h"

namespace engine {
namespace {

using testing::SyntheticScene;

struct Bgr {
  int b, g, r;
  bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bgr& c) {
  return out << "(b " << c.b << ", g " << c.g << ", r " << c.r << ")";
}

int toByte(double v) {
  return std::clamp(int(v * 255.0 + 0.5), 0, 255);
}

// A square |x|, |y| <= 1 at z = 0 seen face-on from z = -5 on a 40 x 30 image.
class RenderTest : public ::testing::Test {
 protected:
  RenderTest() {
    scene.sets.push_back(testing::flatSquare(0));
    scene.frameBuffer = &frame;
    frame.requestedWidth = 40;
    frame.requestedHeight = 30;
    scene.camera.position = {0, 0, -5};
    scene.camera.direction = {0, 0, 1};
    scene.camera.verticalDirection = {0, 1, 0};
    scene.lighting.background = {0.2, 0.4, 0.6};
  }

  // Pixel (x, y) with y counted from the top row.
  Bgr pixel(int x, int y) const {
    const uint8_t* p = frame.bits.data() + size_t(frame.height - 1 - y) * frame.stride + x * 3;
    return {p[0], p[1], p[2]};
  }
  float depthAt(int x, int y) const {
    return frame.depth[size_t(frame.height - 1 - y) * frame.width + x];
  }
  Bgr backgroundColor() const {
    return {toByte(scene.lighting.background.b), toByte(scene.lighting.background.g),
            toByte(scene.lighting.background.r)};
  }
  void addLight(const Vec3& position, double color, bool shadows) {
    Light light;
    light.diffuseColor = light.specularColor = {color, color, color};
    light.position = position;
    light.attenuation[0] = 0.0, light.attenuation[2] = 1.0;
    light.shadows = shadows ? 1.0 : 0.0;
    scene.lighting.lights.push_back(light);
  }
  void render() {
    ASSERT_TRUE(scene.renderFrame()) << scene.renderError;
    ASSERT_TRUE(frame.valid);
  }

  SyntheticScene scene;
  FrameBuffer frame;
};

TEST_F(RenderTest, LitSquareOnBackgroundWithDepth) {
  addLight({0, 0, -5}, 0.3, true);
  render();
  ASSERT_EQ(frame.width, 40u);
  ASSERT_EQ(frame.stride, 120u);
  // Facing the light head-on: diffuse 0.3 * 1.7 and specular 0.3 * 0.4.
  const Bgr center = pixel(20, 15);
  EXPECT_NEAR(center.r, 0.63 * 255, 2.0);
  EXPECT_EQ(center.g, center.r);
  EXPECT_EQ(pixel(0, 0), backgroundColor());
  EXPECT_EQ(pixel(39, 29), backgroundColor());
  EXPECT_NEAR(depthAt(20, 15), 5.0, 0.05);
  EXPECT_TRUE(std::isinf(depthAt(0, 0)));
  EXPECT_NEAR(frame.progress, 100.0, 1e-6);
}

TEST_F(RenderTest, ColoursAreClippedAndDepthZeroDrawsOnlyBackground) {
  scene.lighting.ambientLight = {10, -1, 0.5};
  render();
  EXPECT_EQ(pixel(20, 15), (Bgr{128, 0, 255}));
  scene.render.tracingDepth = 0;
  render();
  for (int i = 0; i < 40 * 30; ++i) {
    ASSERT_EQ(pixel(i % 40, i / 40), backgroundColor());
    ASSERT_TRUE(std::isinf(frame.depth[size_t(i)]));
  }
}

TEST_F(RenderTest, AntialiasingAveragesThePixelsSubpixels) {
  scene.lighting.ambientLight = {1, 1, 1};
  scene.lighting.background = {0, 0, 0};
  scene.render.antialiasing = 2;
  render();
  EXPECT_EQ(frame.width, 40u);
  EXPECT_EQ(pixel(20, 15), (Bgr{255, 255, 255}));
  // Along the square's edge some pixels are partly covered.
  int partial = 0;
  for (int x = 0; x < 40; ++x) {
    const int v = pixel(x, 15).g;
    if (v != 0 && v != 255) {
      ++partial;
      EXPECT_TRUE(v == 64 || v == 128 || v == 191) << v;  // 1, 2 or 3 of 4 subpixels
      EXPECT_FALSE(std::isinf(depthAt(x, 15)));           // the nearest subpixel counts
    }
  }
  EXPECT_GT(partial, 0);
  EXPECT_TRUE(std::isinf(depthAt(0, 15)));
}

TEST_F(RenderTest, StereoPairsAddTheTwoViews) {
  scene.lighting.ambientLight = {0.25, 0.25, 0.25};
  scene.camera.stereo = true;
  scene.camera.stereoSeparation = 0.4;
  scene.camera.focalDistance = 5.0;
  render();
  EXPECT_EQ(pixel(20, 15).g, toByte(0.5));
  EXPECT_EQ(pixel(0, 0), backgroundColor());
  EXPECT_NEAR(frame.progress, 100.0, 1e-6);
}

// A mirror floor (the square, four times larger, reflection 0.5) below a
// cube, seen from above at a slant, lit by ambient light only.
class MirrorTest : public RenderTest {
 protected:
  MirrorTest() {
    Material* mirror = scene.addMaterial();
    mirror->reflection = 0.5;
    scene.sets = {{{{{0, 0, 0}, 4.0, 1, -1.0, mirror}, {{0, 1, 0.6}, 0.5, 2}}, 6.0},
                  testing::flatSquare(1),
                  testing::solidCube(2)};
    scene.camera.position = {0, -6, 3};
    scene.camera.verticalDirection = {0, 0, 1};
    scene.camera.direction = Vec3{0, 1, 0.6} - scene.camera.position;
    scene.lighting.ambientLight = {0.4, 0.4, 0.4};
    scene.lighting.background = {0.2, 0.2, 0.2};
  }
};

// One level draws no reflection; a second hit adds its light times the first
// reflection factor; reflected rays that leave the scene pick up the
// background when asked.
TEST_F(MirrorTest, ReflectionsOfTheSecondLevel) {
  const int floorThenCube = toByte(0.4 + 0.5 * 0.4), cubeThenFloor = toByte(0.4 + 1.0 * 0.4),
            floorThenSky = toByte(0.4 + 0.5 * 0.2);
  const struct {
    int depth;
    bool sky;
    std::vector<int> seen, unseen;
  } cases[] = {
      {1, false, {toByte(0.2), toByte(0.4)}, {floorThenCube, cubeThenFloor, floorThenSky}},
      {2, false, {toByte(0.2), toByte(0.4), floorThenCube, cubeThenFloor}, {floorThenSky}},
      {2, true, {floorThenSky, floorThenCube}, {toByte(0.4)}},
  };
  for (const auto& c : cases) {
    scene.render.tracingDepth = c.depth;
    scene.lighting.reflectBackground = c.sky;
    render();
    std::vector<int> g;
    for (int i = 0; i < 40 * 30; ++i) g.push_back(pixel(i % 40, i / 40).g);
    for (int v : c.seen) EXPECT_GT(std::count(g.begin(), g.end(), v), 0) << v;
    for (int v : c.unseen) EXPECT_EQ(std::count(g.begin(), g.end(), v), 0) << v;
    if (!c.sky) {
      for (int v : g) EXPECT_NE(std::find(c.seen.begin(), c.seen.end(), v), c.seen.end()) << v;
    }
  }
}

TEST_F(RenderTest, CameraErrorsKeepThePreviousImage) {
  render();
  const std::vector<uint8_t> before = frame.bits;
  scene.camera.direction = {0, 0, 0};
  EXPECT_FALSE(scene.renderFrame());
  EXPECT_EQ(scene.renderError, "Invalid direction");
  EXPECT_TRUE(frame.valid);
  EXPECT_EQ(frame.bits, before);
}

// A ball of 300 small cubes above a floor with two shadow-casting lights.
class BusySceneTest : public RenderTest {
 protected:
  BusySceneTest() {
    scene.sets = {{{{{0, 0, 1.2}, 1.0, 1}, {{0, 0, 0}, 3.0, 3}}, 4.0},
                  testing::sphereOfCopies(300, 0.06, 2, 1.11),
                  testing::solidCube(2),
                  testing::flatSquare(3)};
    scene.camera.position = {1, -5, 4};
    scene.camera.direction = Vec3{0, 0, 0.8} - scene.camera.position;
    scene.camera.verticalDirection = {0, 0, 1};
    scene.lighting.ambientLight = {0.1, 0.1, 0.1};
    addLight({3, -2, 6}, 0.5, true);
    addLight({-4, -1, 3}, 0.3, true);
    frame.requestedWidth = 64;
    frame.requestedHeight = 48;
    scene.render.antialiasing = 2;
    scene.render.tracingDepth = 2;
  }
};

TEST_F(BusySceneTest, EveryWorkerCountGivesTheSameImage) {
  for (uint64_t budget : {uint64_t(512000), uint64_t(1) << 40}) {
    frame.memoryBudget = budget;
    scene.threadCount = 1;
    render();
    const std::vector<uint8_t> bits = frame.bits;
    const std::vector<float> depth = frame.depth;
    const long misses =
        std::count_if(depth.begin(), depth.end(), [](float z) { return std::isinf(z); });
    ASSERT_TRUE(misses > 0 && misses < long(depth.size()));
    for (int threads : {2, 3, 0}) {
      scene.threadCount = threads;
      render();
      EXPECT_EQ(frame.bits, bits) << threads << " workers, budget " << budget;
      EXPECT_EQ(frame.depth, depth) << threads << " workers, budget " << budget;
      EXPECT_NEAR(frame.progress, 100.0, 1e-6);
    }
  }
}

TEST_F(BusySceneTest, AStopFromAnotherThreadEndsTheRenderPromptly) {
  frame.requestedWidth = 640;
  frame.requestedHeight = 480;
  scene.render.antialiasing = 3;
  scene.threadCount = 2;
  std::atomic<bool> finished{false};
  std::thread stopper([&] {
    while (!finished && frame.progress < 0.5)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    scene.canceled = true;
  });
  scene.renderFrame();
  finished = true;
  stopper.join();
  EXPECT_FALSE(frame.valid);
  EXPECT_LT(frame.progress, 50.0);
}

}  // namespace
}  // namespace engine
