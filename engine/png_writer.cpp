#include "png_writer.h"

#include <png.h>

#include <cstring>

#include "frame_buffer.h"

namespace engine {

bool writePng(const FrameBuffer& frame, std::FILE* file) {
  if (!frame.hasImage() || frame.bitsPerPixel != 24) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = frame.width;
  image.height = frame.height;
  image.format = PNG_FORMAT_BGR;
  // A negative stride tells libpng that the bottom row comes first; it
  // writes the rows top-down and the pixels as RGB.
  const int ok = png_image_write_to_stdio(&image, file, 0, frame.bits.data(),
                                          -png_int_32(frame.stride), nullptr);
  png_image_free(&image);
  return ok != 0;
}

}  // namespace engine
