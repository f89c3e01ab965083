#include "engine/frame_buffer.h"

#include <cmath>

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(FrameBufferResize, StrideIsPaddedToFourBytes) {
  FrameBuffer frame;
  const uint32_t strides24[] = {4, 8, 12, 12, 16};
  for (uint32_t w = 1; w <= 5; ++w) {
    frame.resizeImage(w, 2, 24);
    EXPECT_EQ(frame.stride, strides24[w - 1]) << w;
    EXPECT_EQ(frame.bits.size(), 2 * frame.stride);
  }
  frame.resizeImage(3, 2, 32);
  EXPECT_EQ(frame.stride, 12u);
  frame.resizeImage(3, 2, 16);  // only 24 and 32 bits exist
  EXPECT_EQ(frame.bitsPerPixel, 32);
  EXPECT_EQ(frame.stride, 12u);
}

TEST(FrameBufferResize, SameSizeKeepsPixelsAndDepthsAnotherDropsThem) {
  FrameBuffer frame;
  EXPECT_FALSE(frame.hasImage());
  frame.resizeImage(4, 3, 24);
  ASSERT_EQ(frame.depth.size(), 12u);
  for (float d : frame.depth) EXPECT_TRUE(std::isinf(d));
  frame.bits[5] = 77;
  frame.depth[7] = 2.5f;
  frame.valid = true;

  frame.resizeImage(4, 3, 24);
  EXPECT_EQ(frame.bits[5], 77);
  EXPECT_EQ(frame.depth[7], 2.5f);
  EXPECT_TRUE(frame.valid);

  frame.resizeImage(3, 4, 24);
  EXPECT_EQ(frame.width, 3u);
  EXPECT_EQ(frame.height, 4u);
  EXPECT_EQ(frame.bits.size(), 48u);
  ASSERT_EQ(frame.depth.size(), 12u);
  EXPECT_TRUE(std::isinf(frame.depth[7]));
  EXPECT_FALSE(frame.valid);

  frame.valid = true;
  frame.resizeImage(3, 4, 32);
  EXPECT_FALSE(frame.valid);
}

struct Rect {
  int left, top, right, bottom, halfWidth;
  bool operator==(const Rect&) const = default;
};

Rect select(FrameBuffer& frame, int x, int y, int a, int b) {
  frame.anchorX = x;
  frame.anchorY = y;
  frame.setSelection(a, b);
  const SelectionRect& s = frame.selection;
  return {s.left, s.top, s.right, s.bottom, frame.selectionHalfWidth};
}

TEST(FrameBufferSelection, WidenedToTheRequestedAspectAndClipped) {
  FrameBuffer frame;  // 320 x 240 requested
  // A tiny drag still gives 5 + 5 pixels each way, then 4:3.
  EXPECT_EQ(select(frame, 100, 100, 2, -1), (Rect{94, 95, 106, 105, 6}));
  // Too wide: the height follows the width.
  EXPECT_EQ(select(frame, 160, 120, 100, 10), (Rect{60, 45, 260, 195, 100}));
  // Too high: the width follows the height; negative half sizes count as positive.
  EXPECT_EQ(select(frame, 160, 120, -10, -30), (Rect{120, 90, 200, 150, 40}));
  // Dragged past the borders.
  EXPECT_EQ(select(frame, 5, 5, 50, 50), (Rect{0, 0, 71, 55, 66}));
  EXPECT_EQ(select(frame, 310, 230, 40, 30), (Rect{270, 200, 320, 240, 40}));

  frame.requestedWidth = 100;
  frame.requestedHeight = 200;
  EXPECT_EQ(select(frame, 50, 100, 20, 20), (Rect{30, 60, 70, 140, 20}));
}

}  // namespace
}  // namespace engine
