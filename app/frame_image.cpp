#include "frame_image.h"

#include <cstring>

namespace app {

QImage frameImage(const engine::FrameBuffer& fb) {
  if (!fb.hasImage() || fb.width == 0 || fb.height == 0) return {};
  const int width = int(fb.width), height = int(fb.height);
  const bool truecolor = fb.bitsPerPixel == 32;
  QImage image(width, height, truecolor ? QImage::Format_RGB32 : QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = fb.bits.data() + std::size_t(height - 1 - y) * fb.stride;
    uint8_t* dst = image.scanLine(y);
    if (truecolor) {
      std::memcpy(dst, src, std::size_t(width) * 4);  // B, G, R, X is RGB32 in memory
      for (int x = 0; x < width; ++x) dst[x * 4 + 3] = 0xFF;
      continue;
    }
    for (int x = 0; x < width; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return image;
}

}  // namespace app
