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

}  // namespace
}  // namespace engine
