#include "build_job.h"

#include <iostream>

#include "build_backend.h"
#include "build_clock.h"
#include "build_random_state.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "shell/duration.h"
#include "thread_priority.h"

namespace app {

BuildJob::BuildJob(BuildBackend& backend, std::shared_ptr<engine::FrameBuffer> frameBuffer,
                   std::shared_ptr<engine::Fractal> scene, QObject* parent)
    : QThread(parent),
      backend_(backend),
      frameBuffer_(std::move(frameBuffer)),
      scene_(std::move(scene)) {
  cancelRepeater_.setInterval(50);
  connect(&cancelRepeater_, &QTimer::timeout, this, [this] { scene_->canceled = true; });
}

BuildJob::~BuildJob() {
  wait();
}

void BuildJob::cancel() {
  scene_->canceled = true;
  cancelRepeater_.start();
}

void BuildJob::run() {
  lowerCurrentThreadPriority();
  engine::FrameBuffer& fb = *frameBuffer_;
  engine::Fractal& scene = *scene_;

  fb.textChanged = [this, &fb] { emit scriptRewritten(QByteArray::fromStdString(fb.scriptText)); };
  scene.renderError.clear();
  fb.progress = -1.0;
  emit statusChanged("Building...");

  const engine::RandomState startState = chooseBuildRandomState(fb);
  stirProcessRandom();

  const BuildClock clock;
  const bool ok = backend_.run(scene);

  succeeded_ = ok && !scene.canceled && scene.renderError.empty() && fb.hasImage();
  if (succeeded_) {
    if (fb.progress >= 0.0) fb.progress = 100.0;
    fb.savedRandomState = startState;
    emit statusChanged("Ready");
  } else {
    emit statusChanged(interrupted ? "Interrupted" : "Error");
  }

  if (!closing && !scene.renderError.empty()) std::cout << scene.renderError << std::endl;
  std::cout << (interrupted ? "interrupted: " : "finished: ")
            << shell::formatDuration(clock.elapsedTicks());
  if (const auto cpu = clock.processorTicks()) {
    std::cout << " (clear proc time: " << shell::formatDuration(*cpu) << ")";
  }
  std::cout << std::endl;

  finishStatus(ok);
  fb.textChanged = nullptr;
}

void BuildJob::finishStatus(bool driverOk) {
  // A stop by the user keeps "Interrupted"; a build canceled otherwise (the
  // document closing, the scene giving up without a message) says so.
  const bool canceledQuietly = scene_->canceled && !interrupted;
  if (driverOk && !scene_->canceled && scene_->renderError.empty()) showsImage_ = true;
  if (canceledQuietly) emit statusChanged("Canceled!");
}

}  // namespace app
