#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"

namespace engine {
namespace {

// Seen face-on along z, the Menger sponge in [-1, 1]^3 lets a ray through
// exactly where its face has a hole of the Sierpinski carpet: the holes are
// tunnels through the whole sponge.
constexpr int kSize = 81;   // pixels; the front face fills the image
constexpr int kLevels = 3;  // holes of these levels are 3 pixels wide or more
constexpr double kPixel = 2.0 / kSize;

// The level of the carpet hole holding (x, y) in face coordinates, up to
// kLevels, or 0 when the point lies on the carpet at those levels.
int holeLevel(double x, double y) {
  const double tx = (x + 1) / 2, ty = (y + 1) / 2;
  double cells = 1;
  for (int level = 1; level <= kLevels; ++level) {
    cells *= 3;
    const int dx = int(std::floor(tx * cells)) % 3, dy = int(std::floor(ty * cells)) % 3;
    if (dx == 1 && dy == 1 && tx >= 0 && tx < 1 && ty >= 0 && ty < 1) return level;
  }
  return 0;
}

// True when every point within `margin` (in each axis) agrees on being in a
// hole or not.
bool clearlyInHole(double x, double y, double margin, bool hole) {
  for (int i = -1; i <= 1; ++i)
    for (int j = -1; j <= 1; ++j)
      if ((holeLevel(x + i * margin, y + j * margin) != 0) != hole) return false;
  return true;
}

// The Menger sponge in [-1, 1]^3: the 20 subcubes with at most one coordinate 0.
std::string mengerScript() {
  std::string terms;
  for (int i = 0; i < 27; ++i) {
    const int c[] = {i % 3 - 1, i / 3 % 3 - 1, i / 9 - 1};
    if ((c[0] == 0) + (c[1] == 0) + (c[2] == 0) > 1) continue;
    terms += (terms.empty() ? "" : " + ") + std::string("translate(") + std::to_string(c[0]) +
             " * 2 / 3, " + std::to_string(c[1]) + " * 2 / 3, " + std::to_string(c[2]) +
             " * 2 / 3) scale(1 / 3) M";
  }
  return "set M = " + terms + "; build M; ambient(1);";
}

TEST(MengerCarpet, FaceOnViewShowsTheCarpetsHoles) {
  const auto s = lang::testing::sceneOf(mengerScript(), kSize, kSize);
  Fractal* scene = s->scene.get();
  const FrameBuffer& frame = s->frameBuffer;
  // From far away the rays are almost parallel: they drift by 0.002 over the
  // sponge's depth.
  const double distance = 1000.0;
  scene->camera.position = {0, 0, -distance};
  scene->camera.direction = {0, 0, 1};
  scene->camera.verticalDirection = {0, 1, 0};
  scene->camera.fov = 2 * std::atan(1.0 / (distance - 1));
  ASSERT_TRUE(scene->renderFrame()) << scene->renderError;

  // Holes narrower than the footprint (0.8 pixel about each surface point) are
  // filled, so points are judged only with a margin.
  int holes = 0, solids = 0;
  for (int py = 0; py < kSize; ++py) {
    for (int px = 0; px < kSize; ++px) {
      // The ray of subpixel px crosses the front face at (px - kSize / 2) pixels.
      const double x = (px - kSize * 0.5) * kPixel, y = (py - kSize * 0.5) * kPixel;
      const bool background = std::isinf(frame.depth[size_t(py) * kSize + px]);
      if (clearlyInHole(x, y, 1.2 * kPixel, true)) {
        ++holes;
        EXPECT_TRUE(background) << "hole at pixel " << px << ", " << py;
      } else if (clearlyInHole(x, y, 1.0 * kPixel, false)) {
        ++solids;
        EXPECT_FALSE(background) << "carpet at pixel " << px << ", " << py;
      }
    }
  }
  EXPECT_GT(holes, 300);
  EXPECT_GT(solids, 1000);
}

}  // namespace
}  // namespace engine
