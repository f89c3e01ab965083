#include <cstdio>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "engine/png_writer.h"

namespace engine {
namespace {

// What the writers write, and how a full disk fails them, the runner's and
// the application's tests check end to end; here, a frame without an image.
TEST(ImageFile, WritersRefuseAFrameWithoutAnImage) {
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(file);
  const FrameBuffer empty;
  EXPECT_FALSE(writePng(empty, file));
  EXPECT_FALSE(empty.writeBitmap(file));
  std::fclose(file);
}

}  // namespace
}  // namespace engine
