#include "sample_build.h"

#include <iostream>
#include <sstream>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "lang/build_driver.h"

namespace gallery {
namespace {

// Redirects std::cout and std::cerr into one buffer while it lives.
class StreamCapture {
 public:
  StreamCapture()
      : oldOut_(std::cout.rdbuf(text_.rdbuf())), oldErr_(std::cerr.rdbuf(text_.rdbuf())) {}
  ~StreamCapture() {
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
  }
  std::string text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* oldOut_;
  std::streambuf* oldErr_;
};

bool completeImage(const engine::FrameBuffer& frame, int width, int height) {
  return frame.valid && frame.hasImage() && frame.width == uint32_t(width) &&
         frame.height == uint32_t(height);
}

// A picture of one colour shows nothing of the fractal (it missed the view,
// or its bounds left it a dot below one pixel).
bool singleColour(const engine::FrameBuffer& frame) {
  const int bytes = frame.bitsPerPixel / 8;
  for (uint32_t y = 0; y < frame.height; ++y)
    for (uint32_t x = 0; x < frame.width; ++x)
      for (int c = 0; c < bytes; ++c)
        if (frame.bits[y * frame.stride + x * bytes + c] != frame.bits[c]) return false;
  return true;
}

}  // namespace

SampleBuild buildSample(const std::string& script, int width, int height) {
  SampleBuild result;
  engine::FrameBuffer frame;
  frame.scriptText = script;
  frame.requestedWidth = width;
  frame.requestedHeight = height;
  frame.randomState = engine::RandomState::fromValue(0x2545F4914F);
  frame.frameSink = [&](engine::FrameBuffer& saved) {
    ++result.frames;
    if (!completeImage(saved, width, height) || singleColour(saved)) ++result.blankFrames;
    return true;
  };

  StreamCapture capture;
  if (std::unique_ptr<engine::Fractal> scene = lang::createScene(frame)) {
    result.savesFrames = frame.savesFrames;
    scene->frameBuffer = &frame;
    scene->threadCount = 1;
    lang::BuildDriver driver;
    result.built = driver.run(*scene);
    result.renderError = scene->renderError;
  }
  result.hasImage = completeImage(frame, width, height);
  if (result.hasImage && result.frames == 0 && singleColour(frame)) ++result.blankFrames;
  result.output = capture.text();
  return result;
}

}  // namespace gallery
