#include "frame_outputs.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "options.h"
#include "test_files.h"

namespace cli {
namespace {

// The frame files take the frames of good renders only: a canceled or failed
// render saves nothing and stops the script.
TEST(FrameOutputs, ImageFilesTakeFramesOfAGoodRenderOnly) {
  shell::testing::TempDir dir;
  Options options;
  options.framePattern = dir.file("f%d.bmp");
  FrameOutputs outputs(options);
  engine::FrameBuffer buffer;
  buffer.requestedWidth = 6;
  buffer.requestedHeight = 4;
  buffer.resizeImage(6, 4, 24);
  buffer.savesFrames = true;
  const std::unique_ptr<engine::Fractal> scene = engine::createFractal(0);
  scene->frameBuffer = &buffer;
  ASSERT_TRUE(outputs.open(buffer, *scene));
  const auto save = [&] { return buffer.frameSink(buffer) && ++buffer.frameCount; };
  EXPECT_TRUE(save());
  scene->canceled = true;
  EXPECT_FALSE(save());
  scene->canceled = false;
  scene->renderError = "Set is void";
  EXPECT_FALSE(save());
  scene->renderError.clear();
  EXPECT_TRUE(save());
  EXPECT_EQ(outputs.framesTaken(), 2u);
  EXPECT_EQ(dir.entries(), 2);
  EXPECT_TRUE(std::filesystem::exists(dir.file("f1.bmp")));
  EXPECT_TRUE(outputs.close(buffer));
  EXPECT_FALSE(buffer.frameSink);
}

}  // namespace
}  // namespace cli
