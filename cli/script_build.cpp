#include "script_build.h"

#include <chrono>
#include <iostream>
#include <limits>
#include <memory>
#include <streambuf>
#include <string_view>

#include "band_file.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "exit_codes.h"
#include "file_errors.h"
#include "frame_outputs.h"
#include "image_output.h"
#include "interrupt.h"
#include "lang/build_driver.h"
#include "mesh_outputs.h"
#include "options.h"
#include "output_check.h"
#include "progress_bar.h"
#include "scene_dump.h"
#include "script_source.h"
#include "script_update.h"
#include "script_write_back.h"
#include "shell/depth_file.h"
#include "shell/duration.h"
#include "shell/platform.h"
#include "shell/video_codecs.h"

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
  if (!shell::isTerminal(stderr)) return nullptr;
  std::vector<std::ostream*> guarded{&std::cerr};
  if (shell::isTerminal(stdout)) guarded.push_back(&std::cout);
  return std::make_unique<ProgressBar>(frame.progress, frames, std::cerr, guarded,
                                       kProgressInterval);
}

// The frames or the band that this process renders; --count-frames renders
// no frame at all.
void shareWork(const Options& options, engine::FrameBuffer& frame) {
  if (options.countFrames) frame.firstFrame = std::numeric_limits<int>::max();
  if (options.frameRange) {
    frame.firstFrame = options.frameRange->first;
    frame.lastFrame = options.frameRange->last.value_or(std::numeric_limits<int>::max());
  }
  if (options.part) {
    frame.bandIndex = options.part->index;
    frame.bandCount = options.part->count;
  }
}

// -q: what the script prints while it runs is dropped; errors go to standard
// error, and the render error is printed after the run.
class QuietOutput {
 public:
  explicit QuietOutput(bool quiet) : saved_(quiet ? std::cout.rdbuf(&discard_) : nullptr) {}
  ~QuietOutput() {
    if (saved_) std::cout.rdbuf(saved_);
  }
  QuietOutput(const QuietOutput&) = delete;
  QuietOutput& operator=(const QuietOutput&) = delete;

 private:
  struct Discard : std::streambuf {
    int overflow(int c) override { return traits_type::not_eof(c); }
  } discard_;
  std::streambuf* saved_;
};

int printFrameCount(const engine::FrameBuffer& frame) {
  std::cout << "frames: " << (frame.savesFrames ? frame.frameCount : 0)
            << ", fps: " << shell::animationFrameRate(frame.framesPerSecond) << std::endl;
  return kBuilt;
}

// Runs the script in the frame buffer; the exit status.
int run(const Options& options, engine::FrameBuffer& frame) {
  std::unique_ptr<engine::Fractal> scene = lang::createScene(frame);
  if (!scene) return kFailed;
  scene->frameBuffer = &frame;
  scene->threadCount = options.threads;
  // Counting runs the frames of an animation untraced; a still has none.
  if (options.countFrames && !frame.savesFrames) return printFrameCount(frame);
  FrameOutputs outputs(options);
  if (!outputs.open(frame, *scene)) return outputs.fileFailed() ? kUsage : kFailed;
  MeshOutputs meshes(options);
  if (!meshes.open(frame, *scene)) return kUsage;
  const bool rendersNothing = options.dumpScene || options.countFrames;
  lang::BuildDriver driver(
      options.dumpScene ? lang::BuildDriver::Stage::Prepare : lang::BuildDriver::Stage::Render,
      options.definitions);
  bool done = false;
  {
    InterruptCancels interrupt(scene->canceled);
    const QuietOutput quiet(options.quiet);
    const bool animation = frame.savesFrames && frame.frameSink;
    const std::unique_ptr<ProgressBar> progress =
        rendersNothing ? nullptr
                       : terminalProgress(frame, animation ? &outputs.framesTaken() : nullptr);
    done = driver.run(*scene);
  }
  const bool videoFinished = outputs.close(frame);
  if (!scene->renderError.empty()) std::cout << scene->renderError << std::endl;
  if (done && options.dumpScene) dumpScene(*scene, std::cout);
  if (done && options.countFrames) return printFrameCount(frame);
  if (outputs.fileFailed() || meshes.fileFailed()) return kUsage;
  if (!videoFinished) return kFailed;
  if (done && options.frameRange && options.frameRange->first >= frame.frameCount) {
    std::cerr << "zentarel3d-cli: --frame-range starts at frame " << options.frameRange->first
              << ", but the script saves " << frame.frameCount << " frames" << std::endl;
    return kUsage;
  }
  return done ? kBuilt : driver.drewNothing() ? kNothingToDraw : kFailed;
}

// Reports a file that could not be written; the exit status so far, or
// kUsage when `failure` says why the file is missing.
int savedOrReported(std::string_view kind, const std::string& path, const std::string& failure,
                    int code) {
  if (failure.empty()) return code;
  reportUnwritable(kind, path, failure);
  return kUsage;
}

// After a successful build: the image, the depth buffer and the rewritten
// script, as asked.
int saveResults(const Options& options, const Script& script, const engine::FrameBuffer& frame,
                bool scriptRewritten) {
  int code = kBuilt;
  if (!options.imageFile.empty()) {
    code = savedOrReported(
        "image", options.imageFile,
        options.part ? saveBandPng(frame, options.imageFile) : saveImage(frame, options.imageFile),
        code);
  }
  if (!options.depthFile.empty()) {
    code =
        savedOrReported("depth", options.depthFile,
                        shell::writeDepthExr(frame, shell::pathFromUtf8(options.depthFile)), code);
  }
  if (options.updateScript && scriptRewritten) {
    code = writeBackScript(options.script, script.fileBytes,
                           carryCameraEdit(script.fileBytes, script.text, frame.scriptText,
                                           frame.cameraStatementOffset),
                           code);
  }
  return code;
}

}  // namespace

int buildScript(const Options& options, const Script& script) {
  if (!outputsWritable(options)) return kUsage;
  engine::FrameBuffer frame;
  frame.scriptText = script.text;
  const bool recordedSize = script.size && !options.sizeGiven;
  frame.requestedWidth = recordedSize ? script.size->width : options.width;
  frame.requestedHeight = recordedSize ? script.size->height : options.height;
  frame.randomState =
      script.randomState && !options.seed ? *script.randomState : startState(options.seed);
  // What a PNG records as the build's start.
  frame.savedRandomState = frame.randomState;
  shareWork(options, frame);
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
