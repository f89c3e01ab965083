#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "engine/png_writer.h"

namespace engine {
namespace {

// A writer fills an open stream; false when it or the file failed.
bool written(const std::string& path, const FrameBuffer& frame, bool png) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = png ? writePng(frame, file) : frame.writeBitmap(file);
  return std::fclose(file) == 0 && ok;
}

// What the writers write is read back by the runner's tests; here, the
// failures they must report.
TEST(ImageFile, FullDevicesAndMissingImagesAreReported) {
  FrameBuffer frame;
  frame.resizeImage(3, 2, 24);
  const FrameBuffer empty;
  for (const bool png : {false, true}) {
    if (std::filesystem::exists("/dev/full")) {  // a full disk fails at the final flush
      EXPECT_FALSE(written("/dev/full", frame, png));
    }
    EXPECT_FALSE(written("/dev/null", empty, png)) << png;
  }
}

}  // namespace
}  // namespace engine
