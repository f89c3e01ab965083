#include "engine/frame_buffer.h"

#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace engine {
namespace {

// Only the same size keeps the image.
TEST(FrameBuffer, OnlyTheSameSizeKeepsTheImage) {
  FrameBuffer frame;
  frame.resizeImage(4, 3, 24);
  frame.bits[5] = 77;
  frame.depth[7] = 2.5f;
  frame.valid = true;
  frame.resizeImage(4, 3, 24);
  EXPECT_TRUE(frame.bits[5] == 77 && frame.depth[7] == 2.5f && frame.valid);
  for (const auto [w, h, bpp] : {std::array{3, 4, 24}, {3, 4, 32}}) {
    frame.valid = true;
    frame.resizeImage(uint32_t(w), uint32_t(h), bpp);
    EXPECT_FALSE(frame.valid);
    ASSERT_EQ(frame.depth.size(), 12u);
    EXPECT_TRUE(std::isinf(frame.depth[7]));
  }
}

// The selection around the anchor, widened to the requested aspect and clipped.
TEST(FrameBuffer, SelectionIsWidenedToTheRequestedAspectAndClipped) {
  const struct {
    int width, height, x, y, a, b;
    std::vector<int> rect;  // left, top, right, bottom, half width
  } cases[] = {
      {320, 240, 100, 100, 2, -1, {94, 95, 106, 105, 6}},      // at least 5 + 5 pixels, then 4:3
      {320, 240, 160, 120, 100, 10, {60, 45, 260, 195, 100}},  // the height follows the width
      {320, 240, 160, 120, -10, -30, {120, 90, 200, 150, 40}},
      {320, 240, 5, 5, 50, 50, {0, 0, 71, 55, 66}},
      {320, 240, 310, 230, 40, 30, {270, 200, 320, 240, 40}},
      {100, 200, 50, 100, 20, 20, {30, 60, 70, 140, 20}},
  };
  for (const auto& c : cases) {
    FrameBuffer frame;
    frame.requestedWidth = uint32_t(c.width);
    frame.requestedHeight = uint32_t(c.height);
    frame.anchorX = c.x;
    frame.anchorY = c.y;
    frame.setSelection(c.a, c.b);
    const SelectionRect& s = frame.selection;
    EXPECT_EQ((std::vector<int>{s.left, s.top, s.right, s.bottom, frame.selectionHalfWidth}),
              c.rect)
        << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace engine
