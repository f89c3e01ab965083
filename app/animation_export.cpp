#include "animation_export.h"

#include <QFileInfo>
#include <iostream>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "frame_image.h"

namespace app {

namespace {

// The save dialog's file types, in the order of shell::VideoContainer.
const char* const kVideoFilters[] = {"Avi Files (*.avi)", "MP4 Video (*.mp4)",
                                     "Matroska Video (*.mkv)", "WebM Video (*.webm)"};

// The extension of the file type chosen in the dialog; ".avi" for any other.
QString extensionOfFilter(const QString& filter) {
  for (int i = 0; i < int(std::size(kVideoFilters)); ++i) {
    if (filter == kVideoFilters[i]) return shell::videoExtension(shell::VideoContainer(i));
  }
  return ".avi";
}

}  // namespace

shell::VideoContainer videoContainerOf(const QString& path) {
  return shell::videoContainerOf(QFile::encodeName(path).toStdString())
      .value_or(shell::VideoContainer::Avi);
}

AnimationQuestions animationQuestions(UserDialogs& dialogs, QPointer<QWidget> owner) {
  return {[&dialogs, owner] {
            QStringList filters;
            for (const char* filter : kVideoFilters) filters << filter;
            QString chosen = filters.front();
            QString path = dialogs.saveFileName(owner, "fractal",
                                                filters.join(";;") + ";;All Files (*.*)", &chosen);
            if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
              path += extensionOfFilter(chosen);
            return path;
          },
          [&dialogs, owner](shell::VideoContainer container) {
            return dialogs.videoCompression(owner, container);
          }};
}

bool AnimationExport::open(const QString& path, const VideoCompression& compression,
                           engine::FrameBuffer& fb, const engine::Fractal& scene,
                           FrameShower show) {
  const std::string failure = writer_.open(
      path.toStdString(), int(fb.requestedWidth), int(fb.requestedHeight), fb.framesPerSecond,
      compression.codec, compression.quality, videoContainerOf(path));
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
