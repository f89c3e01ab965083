#include "build_job.h"

#include <iostream>
#include <new>

#include "build_backend.h"
#include "build_clock.h"
#include "build_random_state.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "interface_question.h"
#include "shell/duration.h"
#include "shell/platform.h"

namespace app {

namespace {
constexpr const char* kNotEnoughMemory = "Not enough memory";
}

BuildJob::BuildJob(BuildBackend& backend, std::shared_ptr<engine::FrameBuffer> frameBuffer,
                   std::shared_ptr<engine::Fractal> scene, AnimationQuestions animationQuestions,
                   QObject* parent)
    : QThread(parent),
      backend_(backend),
      frameBuffer_(std::move(frameBuffer)),
      scene_(std::move(scene)),
      animationQuestions_(std::move(animationQuestions)) {
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
  shell::lowerCurrentThreadPriority();
  engine::FrameBuffer& fb = *frameBuffer_;
  engine::Fractal& scene = *scene_;
  // An animation needs its file before the script runs; without one the
  // build ends here and the status stays as it was.
  const bool animated = fb.savesFrames;
  if (animated && !openAnimation()) return;

  fb.textChanged = [this, &fb] { emit scriptRewritten(QByteArray::fromStdString(fb.scriptText)); };
  scene.renderError.clear();
  fb.progress = -1.0;
  emit statusChanged("Building...");

  const engine::RandomState startState = chooseBuildRandomState(fb);
  stirProcessRandom();

  const BuildClock clock;
  bool ok = false;
  try {
    ok = backend_.run(scene);
  } catch (const std::bad_alloc&) {
    // The application outlives a build that asked for too much.
    scene.renderError = kNotEnoughMemory;
  }

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
  if (animated) animation_.close(fb);
  fb.textChanged = nullptr;
}

bool BuildJob::openAnimation() {
  const auto stopped = [scene = scene_] { return scene->canceled.load(); };
  // A stop meanwhile, or no file chosen: nothing to report.
  const std::optional<QString> path =
      askOnInterfaceThread<QString>(animationQuestions_.file, stopped);
  if (!path || path->isEmpty()) return false;
  const auto compression = askOnInterfaceThread<std::optional<VideoCompression>>(
      [question = animationQuestions_.compression, container = videoContainerOf(*path)] {
        return question(container);
      },
      stopped);
  if (!compression) return false;
  if (!*compression) {
    std::cerr << shell::kCantCreateVideoStream << std::endl;
    return false;
  }
  return animation_.open(*path, **compression, *frameBuffer_, *scene_,
                         [this](const QImage& frame) { emit frameRendered(frame); });
}

void BuildJob::finishStatus(bool driverOk) {
  // A stop by the user keeps "Interrupted"; a build canceled otherwise (the
  // document closing, the scene giving up without a message) says so.
  const bool canceledQuietly = scene_->canceled && !interrupted;
  if (driverOk && !scene_->canceled && scene_->renderError.empty()) showsImage_ = true;
  if (canceledQuietly) emit statusChanged("Canceled!");
}

}  // namespace app
