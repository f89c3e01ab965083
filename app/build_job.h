#pragma once

#include <QByteArray>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

namespace engine {
class Fractal;
class FrameBuffer;
}  // namespace engine

namespace app {

class BuildBackend;

// One build of a document on its own thread: runs the build driver on the
// scene, prints the timing line and reports the outcome. It owns a share of
// the frame buffer and the scene, so a build that is given up on (detached)
// never works on freed memory. It reaches the interface only through its
// signals, which are queued to the interface thread.
class BuildJob : public QThread {
  Q_OBJECT
 public:
  BuildJob(BuildBackend& backend, std::shared_ptr<engine::FrameBuffer> frameBuffer,
           std::shared_ptr<engine::Fractal> scene, QObject* parent = nullptr);
  ~BuildJob() override;

  // Set by the interface thread: the user stopped the build; the document is
  // closing (no render error is printed).
  std::atomic<bool> interrupted{false};
  std::atomic<bool> closing{false};

  // Read after the thread has ended: a new image is to be shown.
  bool showsImage() const { return showsImage_; }
  bool succeeded() const { return succeeded_; }

  // Sets the scene's canceled flag; the build ends at its next test. The
  // driver clears the flag when it starts, so the flag is set again every
  // 50 ms until the build has ended.
  void cancel();

 signals:
  void statusChanged(const QString& status);
  // The build rewrote the camera statement; the new script text.
  void scriptRewritten(const QByteArray& script);

 protected:
  void run() override;

 private:
  void finishStatus(bool driverOk);

  BuildBackend& backend_;
  std::shared_ptr<engine::FrameBuffer> frameBuffer_;
  std::shared_ptr<engine::Fractal> scene_;
  QTimer cancelRepeater_;
  bool showsImage_ = false;
  bool succeeded_ = false;
};

}  // namespace app
