#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "shell/frame_pattern.h"
#include "shell/video_writer.h"

namespace engine {
class Fractal;
class FrameBuffer;
}  // namespace engine

namespace cli {

struct Options;

// Where the frames of "save_frame" go: a video (--avi, --video) and numbered
// image files (--frames), each frame to both when both are asked for. Works
// as the application's animation export: the video is opened before the
// script runs, the frame buffer's sink takes each frame, the video is closed
// at the end and keeps the frames written so far.
class FrameOutputs {
 public:
  explicit FrameOutputs(const Options& options);
  FrameOutputs(const FrameOutputs&) = delete;
  FrameOutputs& operator=(const FrameOutputs&) = delete;

  // Before the build, after the type pre-scan: opens the video when the
  // script saves frames, at the requested image size and the script's frame
  // rate, and installs the frame sink when the frames have somewhere to go.
  // False, with the writer's message printed on std::cerr, when the video
  // cannot be opened.
  bool open(engine::FrameBuffer& frame, const engine::Fractal& scene);
  // After the build: removes the sink and finishes the video; false, with a
  // message on std::cerr, when the video's end cannot be written.
  bool close(engine::FrameBuffer& frame);

  // Frames taken so far; read by the progress display while the build runs.
  const std::atomic<unsigned>& framesTaken() const { return framesTaken_; }
  // A video or frame file could not be created or written.
  bool fileFailed() const { return fileFailed_; }

 private:
  bool take(const engine::FrameBuffer& frame, const engine::Fractal& scene);
  // Reports the file that cannot be written; false.
  bool unwritable(std::string_view kind, const std::string& path, const std::string& reason);

  std::string videoFile_, codec_;
  int quality_;
  shell::VideoContainer container_;
  std::optional<shell::FramePattern> pattern_;
  shell::VideoWriter video_;
  std::atomic<unsigned> framesTaken_{0};
  bool fileFailed_ = false;
};

}  // namespace cli
