#include "frame_outputs.h"

#include <iostream>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "file_errors.h"
#include "image_output.h"
#include "options.h"

namespace cli {

FrameOutputs::FrameOutputs(const Options& options)
    : videoFile_(options.videoFile),
      codec_(options.videoCodec),
      quality_(options.videoQuality),
      container_(options.videoContainer),
      pattern_(options.framePattern.empty() ? std::nullopt
                                            : shell::FramePattern::parse(options.framePattern)) {}

bool FrameOutputs::open(engine::FrameBuffer& frame, const engine::Fractal& scene) {
  if (!videoFile_.empty() && frame.savesFrames) {
    const std::string failure =
        video_.open(videoFile_, int(frame.requestedWidth), int(frame.requestedHeight),
                    frame.framesPerSecond, codec_, quality_, container_);
    if (!failure.empty()) {
      std::cerr << failure << std::endl;
      // A codec that cannot be set up is no file error.
      if (video_.failureReason().empty()) return false;
      return unwritable("video", videoFile_, video_.failureReason());
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
    return unwritable("video", videoFile_, video_.failureReason());
  }
  if (pattern_) {
    const std::string fileName = pattern_->fileName(unsigned(frame.frameCount));
    const std::string failure = saveImage(frame, fileName);
    if (!failure.empty()) return unwritable("image", fileName, failure);
  }
  ++framesTaken_;
  return true;
}

bool FrameOutputs::close(engine::FrameBuffer& frame) {
  frame.frameSink = nullptr;
  return video_.close() || unwritable("video", videoFile_, video_.failureReason());
}

bool FrameOutputs::unwritable(std::string_view kind, const std::string& path,
                              const std::string& reason) {
  reportUnwritable(kind, path, reason);
  fileFailed_ = true;
  return false;
}

}  // namespace cli
