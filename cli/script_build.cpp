#include "script_build.h"

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <memory>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "exit_codes.h"
#include "file_replace.h"
#include "frame_outputs.h"
#include "image_output.h"
#include "interrupt.h"
#include "lang/build_driver.h"
#include "options.h"
#include "progress_bar.h"
#include "scene_dump.h"
#include "script_source.h"
#include "script_update.h"
#include "shell/duration.h"

namespace cli {

namespace {

constexpr std::chrono::milliseconds kProgressInterval{150};

engine::RandomState startState(const std::optional<uint64_t>& seed) {
  using engine::RandomState;
  if (seed) return RandomState::fromValue(*seed & RandomState::kModulusMask);
  // An odd state: the generator only multiplies, so an even one loses low bits.
  const auto now = std::chrono::system_clock::now().time_since_epoch().count();
  return RandomState::fromValue((uint64_t(now) | 1) & RandomState::kModulusMask);
}

// A progress bar when standard error is a terminal; none otherwise, so that
// redirected output holds exactly what the build printed.
std::unique_ptr<ProgressBar> terminalProgress(const engine::FrameBuffer& frame,
                                              const std::atomic<unsigned>* frames) {
  if (!isatty(STDERR_FILENO)) return nullptr;
  std::vector<std::ostream*> guarded{&std::cerr};
  if (isatty(STDOUT_FILENO)) guarded.push_back(&std::cout);
  return std::make_unique<ProgressBar>(frame.progress, frames, std::cerr, guarded,
                                       kProgressInterval);
}

// Runs the script in the frame buffer; the exit status.
int run(const Options& options, engine::FrameBuffer& frame) {
  std::unique_ptr<engine::Fractal> scene = lang::createScene(frame);
  if (!scene) return kFailed;
  scene->frameBuffer = &frame;
  scene->threadCount = options.threads;
  FrameOutputs outputs(options);
  if (!outputs.open(frame, *scene)) return kFailed;

  lang::BuildDriver driver(options.dumpScene ? lang::BuildDriver::Stage::Prepare
                                             : lang::BuildDriver::Stage::Render);
  bool done = false;
  {
    InterruptCancels interrupt(scene->canceled);
    const bool animation = frame.savesFrames && frame.frameSink;
    const std::unique_ptr<ProgressBar> progress =
        options.dumpScene ? nullptr
                          : terminalProgress(frame, animation ? &outputs.framesTaken() : nullptr);
    done = driver.run(*scene);
  }
  const bool videoFinished = outputs.close(frame);
  if (!scene->renderError.empty()) std::cout << scene->renderError << std::endl;
  if (done && options.dumpScene) dumpScene(*scene, std::cout);
  if (!videoFinished) return kFailed;
  return done ? kBuilt : driver.drewNothing() ? kNothingToDraw : kFailed;
}

// After a successful build: the image and the rewritten script, as asked.
int saveResults(const Options& options, const Script& script, const engine::FrameBuffer& frame,
                bool scriptRewritten) {
  int code = kBuilt;
  if (!options.imageFile.empty() && !saveImage(frame, options.imageFile)) {
    std::cerr << "zentarel3d-cli: cannot write image file: " << options.imageFile << std::endl;
    code = kUsage;
  }
  if (options.updateScript && scriptRewritten) {
    std::string reason;
    const std::string bytes = carryCameraEdit(script.fileBytes, script.text, frame.scriptText,
                                              frame.cameraStatementOffset);
    if (!replaceFileContent(options.script, bytes, reason)) {
      std::cerr << "zentarel3d-cli: cannot write script file: " << options.script << " (" << reason
                << ")" << std::endl;
      code = kUsage;
    }
  }
  return code;
}

}  // namespace

int buildScript(const Options& options, const Script& script) {
  engine::FrameBuffer frame;
  frame.scriptText = script.text;
  frame.requestedWidth = options.width;
  frame.requestedHeight = options.height;
  frame.randomState = startState(options.seed);
  bool scriptRewritten = false;
  frame.textChanged = [&scriptRewritten] { scriptRewritten = true; };

  const auto start = std::chrono::steady_clock::now();
  if (options.verbose) std::cerr << "building: " << script.name << std::endl;
  int code = run(options, frame);
  if (code == kBuilt) code = saveResults(options, script, frame, scriptRewritten);
  if (options.verbose) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100;
    std::cerr << "finished: " << shell::formatDuration(uint64_t(ticks)) << std::endl;
  }
  return code;
}

}  // namespace cli
