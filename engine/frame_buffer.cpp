#include "frame_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace engine {

namespace {

int clampToInt(int64_t v) {
  return int(
      std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

FrameBuffer::FrameBuffer() {
  const uint32_t s0 = uint32_t(std::rand()), s1 = uint32_t(std::rand()), s2 = uint32_t(std::rand());
  randomState = RandomState::fromLimbs(s0, s1, s2);
  savedRandomState = randomState;
}

void FrameBuffer::resizeImage(uint32_t w, uint32_t h, int bpp) {
  if (width == w && height == h && bitsPerPixel == bpp && hasImage()) return;
  const int newBitsPerPixel = bpp == 24 || bpp == 32 ? bpp : 32;
  const uint32_t newStride =
      uint32_t((uint64_t(w) * uint64_t(newBitsPerPixel) / 8 + 3) & ~uint64_t(3));
  // Both buffers first: when memory runs out, the old image stays whole.
  std::vector<uint8_t> newBits(size_t(newStride) * h);
  std::vector<float> newDepth(size_t(w) * h, std::numeric_limits<float>::infinity());
  const std::lock_guard lock(imageMutex);
  bits = std::move(newBits);
  depth = std::move(newDepth);
  width = w;
  height = h;
  bitsPerPixel = newBitsPerPixel;
  stride = newStride;
  valid = false;
}

ImageCopy FrameBuffer::copyImage() const {
  const std::lock_guard lock(imageMutex);
  return {bits, width, height, stride, bitsPerPixel};
}

void FrameBuffer::setSelection(int halfWidth, int halfHeight) {
  int64_t a = std::max<int64_t>(std::abs(int64_t(halfWidth)), 5);
  int64_t b = std::max<int64_t>(std::abs(int64_t(halfHeight)), 5);
  const int64_t w = requestedWidth, h = requestedHeight;
  // Widen to the aspect ratio of the requested image.
  if (w > 0 && h > 0) {
    if (w * b >= h * a)
      a = w * b / h;
    else
      b = h * a / w;
  }
  selection.left = clampToInt(std::max<int64_t>(anchorX - a, 0));
  selection.top = clampToInt(std::max<int64_t>(anchorY - b, 0));
  selection.right = clampToInt(std::min<int64_t>(anchorX + a, w));
  selection.bottom = clampToInt(std::min<int64_t>(anchorY + b, h));
  selectionHalfWidth = clampToInt(a);
}

}  // namespace engine
