#include "animation_export.h"

#include <QFileInfo>
#include <iostream>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "frame_image.h"

namespace app {

AnimationQuestions animationQuestions(UserDialogs& dialogs, QPointer<QWidget> owner) {
  return {[&dialogs, owner] {
            QString path = dialogs.saveFileName(owner, "fractal",
                                                "Avi Files (*.avi);;All Files (*.*)", nullptr);
            if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += ".avi";
            return path;
          },
          [&dialogs, owner] { return dialogs.videoCompression(owner); }};
}

bool AnimationExport::open(const QString& path, const VideoCompression& compression,
                           engine::FrameBuffer& fb, const engine::Fractal& scene,
                           FrameShower show) {
  const std::string failure =
      writer_.open(path.toStdString(), int(fb.requestedWidth), int(fb.requestedHeight),
                   fb.framesPerSecond, compression.codec, compression.quality);
  if (!failure.empty()) {
    std::cerr << failure << std::endl;
    return false;
  }
  show_ = std::move(show);
  framesWritten_ = 0;
  open_ = true;
  fb.frameSink = [this, &scene](engine::FrameBuffer& frame) { return takeFrame(frame, scene); };
  return true;
}

bool AnimationExport::takeFrame(const engine::FrameBuffer& fb, const engine::Fractal& scene) {
  if (scene.canceled || !scene.renderError.empty()) return false;
  // The interface gets its own copy: the next frame is rendered meanwhile.
  show_(frameImage(fb));
  if (!writer_.writeFrame(fb.bits)) {
    std::cerr << shell::kCantWriteFrame << std::endl;
    return false;
  }
  framesWritten_ = writer_.framesWritten();
  return true;
}

void AnimationExport::close(engine::FrameBuffer& fb) {
  fb.frameSink = nullptr;
  open_ = false;
  // Frames that an encoder held back and the index are written last; a file
  // that cannot be finished is as broken as a lost frame.
  if (writer_.isOpen() && !writer_.close()) std::cerr << shell::kCantWriteFrame << std::endl;
}

std::optional<unsigned> AnimationExport::framesWritten() const {
  if (!open_) return std::nullopt;
  return framesWritten_.load();
}

}  // namespace app
