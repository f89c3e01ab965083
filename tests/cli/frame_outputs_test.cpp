#include "frame_outputs.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "options.h"
#include "test_files.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using shell::testing::TempDir;

// A rendered frame as "save_frame" hands it over.
struct RenderedFrame {
  engine::FrameBuffer buffer;
  std::unique_ptr<engine::Fractal> scene = engine::createFractal(0);

  explicit RenderedFrame(bool savesFrames) {
    buffer.requestedWidth = 6;
    buffer.requestedHeight = 4;
    buffer.resizeImage(6, 4, 24);
    std::fill(buffer.bits.begin(), buffer.bits.end(), uint8_t(90));
    buffer.savesFrames = savesFrames;
    scene->frameBuffer = &buffer;
  }
  bool save() { return buffer.frameSink && buffer.frameSink(buffer) && ++buffer.frameCount; }
};

TEST(FrameOutputs, ImageFilesTakeFramesOfAGoodRenderOnly) {
  TempDir dir;
  Options options;
  options.framePattern = (dir.path() / "f%d.bmp").string();
  FrameOutputs outputs(options);
  RenderedFrame frame(true);
  ASSERT_TRUE(outputs.open(frame.buffer, *frame.scene));
  EXPECT_TRUE(frame.save());
  EXPECT_TRUE(fs::exists(dir.path() / "f0.bmp"));
  frame.scene->canceled = true;
  EXPECT_FALSE(frame.save());
  frame.scene->canceled = false;
  frame.scene->renderError = "Set is void";
  EXPECT_FALSE(frame.save());
  EXPECT_FALSE(fs::exists(dir.path() / "f1.bmp"));
  frame.scene->renderError.clear();
  EXPECT_TRUE(frame.save());
  EXPECT_TRUE(fs::exists(dir.path() / "f1.bmp"));
  EXPECT_EQ(outputs.framesTaken(), 2u);
  EXPECT_TRUE(outputs.close(frame.buffer));
  EXPECT_FALSE(frame.buffer.frameSink);
}

TEST(FrameOutputs, VideoOnlyForScriptsThatSaveFrames) {
  TempDir dir;
  Options options;
  options.videoFile = (dir.path() / "a.avi").string();
  {
    FrameOutputs outputs(options);
    RenderedFrame still(false);
    ASSERT_TRUE(outputs.open(still.buffer, *still.scene));
    EXPECT_FALSE(still.buffer.frameSink);
    EXPECT_TRUE(outputs.close(still.buffer));
    EXPECT_FALSE(fs::exists(options.videoFile));
  }
  FrameOutputs outputs(options);
  RenderedFrame animation(true);
  ASSERT_TRUE(outputs.open(animation.buffer, *animation.scene));
  EXPECT_TRUE(animation.save());
  EXPECT_TRUE(animation.save());
  EXPECT_FALSE(fs::exists(options.videoFile));  // the video appears when it is complete
  EXPECT_TRUE(outputs.close(animation.buffer));
  EXPECT_TRUE(fs::exists(options.videoFile));
  EXPECT_EQ(outputs.framesTaken(), 2u);
}

}  // namespace
}  // namespace cli
