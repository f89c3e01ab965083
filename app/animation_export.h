#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "shell/video_writer.h"
#include "user_dialogs.h"

class QWidget;

namespace engine {
class Fractal;
class FrameBuffer;
}  // namespace engine

namespace app {

// The questions before an animation is written, each to be asked on the
// interface thread: the video file (empty when the dialog was cancelled),
// then its compression for that kind of file (nothing when cancelled).
struct AnimationQuestions {
  std::function<QString()> file;
  std::function<std::optional<VideoCompression>(shell::VideoContainer)> compression;
};

// The kind of video file that the path names by its extension; AVI for any
// other name.
shell::VideoContainer videoContainerOf(const QString& path);

// The questions as the user's dialogs ask them, owned by `owner`.
AnimationQuestions animationQuestions(UserDialogs& dialogs, QPointer<QWidget> owner);

// The video file of one build whose script saves frames. The build thread opens
// it before the script runs; the frame buffer's frame sink then appends every
// frame the script saves, and the build closes it at its end.
class AnimationExport {
 public:
  // Receives a copy of each frame for the interface to show.
  using FrameShower = std::function<void(const QImage& frame)>;

  // Opens the file for frames of the requested image size at the script's
  // frame rate and installs the frame sink. False, with the message printed
  // on the error stream, when the file cannot be written.
  bool open(const QString& path, const VideoCompression& compression, engine::FrameBuffer& fb,
            const engine::Fractal& scene, FrameShower show);
  // Removes the frame sink and finishes the file.
  void close(engine::FrameBuffer& fb);
  // The frames written while the file is open; nothing when it is not.
  std::optional<unsigned> framesWritten() const;

 private:
  bool takeFrame(const engine::FrameBuffer& fb, const engine::Fractal& scene);

  shell::VideoWriter writer_;
  FrameShower show_;
  // Read by the interface thread's progress display.
  std::atomic<bool> open_{false};
  std::atomic<unsigned> framesWritten_{0};
};

}  // namespace app
