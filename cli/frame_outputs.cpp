#include "frame_outputs.h"

#include <iostream>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "image_output.h"
#include "options.h"

namespace cli {

FrameOutputs::FrameOutputs(const Options& options)
    : videoFile_(options.videoFile),
      codec_(options.videoCodec),
      quality_(options.videoQuality),
      pattern_(options.framePattern.empty() ? std::nullopt
                                            : shell::FramePattern::parse(options.framePattern)) {}

bool FrameOutputs::open(engine::FrameBuffer& frame, const engine::Fractal& scene) {
  if (!videoFile_.empty() && frame.savesFrames) {
    const std::string failure =
        video_.open(videoFile_, int(frame.requestedWidth), int(frame.requestedHeight),
                    frame.framesPerSecond, codec_, quality_);
    if (!failure.empty()) {
      std::cerr << failure << std::endl;
      return false;
    }
  }
  if (video_.isOpen() || pattern_) {
    frame.frameSink = [this, &scene](engine::FrameBuffer& taken) { return take(taken, scene); };
  }
  return true;
}

bool FrameOutputs::take(const engine::FrameBuffer& frame, const engine::Fractal& scene) {
  if (scene.canceled || !scene.renderError.empty()) return false;
  if (video_.isOpen() && !video_.writeFrame(frame.bits)) {
    std::cerr << shell::kCantWriteFrame << std::endl;
    return false;
  }
  if (pattern_) {
    const std::string fileName = pattern_->fileName(unsigned(frame.frameCount));
    if (!saveImage(frame, fileName)) {
      std::cerr << "zentarel3d-cli: cannot write image file: " << fileName << std::endl;
      return false;
    }
  }
  ++framesTaken_;
  return true;
}

bool FrameOutputs::close(engine::FrameBuffer& frame) {
  frame.frameSink = nullptr;
  if (video_.close()) return true;
  std::cerr << "zentarel3d-cli: cannot finish video file: " << videoFile_ << std::endl;
  return false;
}

}  // namespace cli
