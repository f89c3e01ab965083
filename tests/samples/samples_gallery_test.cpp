// A build of every scene of the samples file of the source tree at a small
// size through the language and the renderer.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "../engine/captured_output.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "lang/build_driver.h"
#include "shell/samples_file.h"

namespace gallery {
namespace {

constexpr uint32_t kWidth = 96, kHeight = 72;

shell::SamplesFile& samplesFile() {
  static shell::SamplesFile file(SAMPLES_FILE);
  return file;
}

// A complete image of the requested size that shows more than one colour
// (one colour: the fractal missed the view, or shrank below a pixel).
bool showsSomething(const engine::FrameBuffer& frame) {
  if (!frame.valid || !frame.hasImage() || frame.width != kWidth || frame.height != kHeight) {
    return false;
  }
  const uint32_t bytes = frame.bitsPerPixel / 8;
  for (uint32_t y = 0; y < frame.height; ++y) {
    for (uint32_t i = 0; i < frame.width * bytes; ++i) {
      if (frame.bits[y * frame.stride + i] != frame.bits[i % bytes]) return true;
    }
  }
  return false;
}

// Builds the script as the application would, with one render thread.
void build(engine::FrameBuffer& frame, const std::string& script, bool vectorWalks) {
  frame.scriptText = script;
  frame.requestedWidth = kWidth;
  frame.requestedHeight = kHeight;
  frame.randomState = engine::RandomState::fromValue(0x2545F4914F);
  const std::unique_ptr<engine::Fractal> scene = lang::createScene(frame);
  ASSERT_TRUE(scene);
  scene->frameBuffer = &frame;
  scene->threadCount = 1;
  scene->vectorWalks = vectorWalks;
  EXPECT_TRUE(lang::BuildDriver().run(*scene));
  EXPECT_EQ(scene->renderError, "");
}

class Sample : public ::testing::TestWithParam<int> {};

// Builds the sample with a frame sink that takes every frame, and fails on
// any error line, a render error, a missing image or a picture that shows
// nothing.
TEST_P(Sample, BuildsWithoutError) {
  const int entry = samplesFile().index().entryOfSample(GetParam());
  SCOPED_TRACE(samplesFile().index().nameOfEntry(entry));
  const std::string script = samplesFile().sampleText(entry).value_or("");
  ASSERT_FALSE(script.empty()) << "the sample's text cannot be loaded";
  EXPECT_TRUE(script.starts_with("//")) << "a sample starts with a comment saying what it shows";

  engine::FrameBuffer frame;
  int frames = 0;
  frame.frameSink = [&](engine::FrameBuffer& saved) {
    ++frames;
    EXPECT_TRUE(showsSomething(saved)) << "frame " << frames;
    return true;
  };
  engine::testing::CapturedOutput capture;
  build(frame, script, true);
  std::istringstream output(capture.out() + capture.err());
  for (std::string line; std::getline(output, line);) {
    EXPECT_FALSE(line.starts_with("error:") || line.starts_with("exception:")) << line;
  }
  if (frame.savesFrames) {
    EXPECT_GE(frames, 2) << "an animation saves several frames";
    return;
  }
  EXPECT_TRUE(showsSomething(frame));
  // The walks' vector loops give the plain loops' picture, bit for bit.
  engine::FrameBuffer plain;
  build(plain, script, false);
  EXPECT_TRUE(plain.bits == frame.bits);
}

INSTANTIATE_TEST_SUITE_P(Gallery, Sample, ::testing::Range(0, samplesFile().index().sampleCount()));

}  // namespace
}  // namespace gallery
