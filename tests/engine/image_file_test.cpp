#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "engine/png_writer.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

// What the writers write is read back by the runner's tests; here, the
// failures they must report.
TEST(ImageFile, UnwritableFilesAndMissingImagesAreReported) {
  const fs::path dir = fs::temp_directory_path() / ("zentarel-image-" + std::to_string(getpid()));
  fs::create_directories(dir);
  FrameBuffer frame;
  frame.resizeImage(5, 3, 24);
  EXPECT_FALSE(frame.saveBitmap((dir / "missing-dir/a.bmp").string()));
  EXPECT_FALSE(savePng(frame, (dir / "missing-dir/a.png").string()));
  EXPECT_FALSE(frame.saveBitmap(dir.string()));
  // A full disk fails at the final flush. (Not tried with the PNG writer:
  // libpng removes the file that it failed to write.)
  if (fs::exists("/dev/full")) {
    EXPECT_FALSE(frame.saveBitmap("/dev/full"));
  }
  const FrameBuffer empty;
  EXPECT_FALSE(empty.saveBitmap((dir / "empty.bmp").string()));
  EXPECT_FALSE(savePng(empty, (dir / "empty.png").string()));
  EXPECT_FALSE(fs::exists(dir / "empty.bmp"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace engine
