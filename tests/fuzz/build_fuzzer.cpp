// libFuzzer target: every input is a script that the build driver runs and
// renders into a tiny image, as the application's Build Fractal does. A build
// that outlives kBuildLimit is canceled, as a user would stop it, so that the
// endless loops and huge scenes that mutations make cannot stall the run.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <memory>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "lang/build_driver.h"

namespace {

constexpr std::chrono::milliseconds kBuildLimit{200};

// Sets the scene's cancel flag when the limit passes before it is destroyed.
class CancelAfter {
 public:
  CancelAfter(engine::Fractal& scene, std::chrono::milliseconds limit)
      : thread_([&scene, limit](std::stop_token stop) {
          std::mutex mutex;
          std::condition_variable_any wake;
          std::unique_lock lock(mutex);
          wake.wait_for(lock, stop, limit, [] { return false; });
          if (!stop.stop_requested()) scene.canceled = true;
        }) {}

 private:
  std::jthread thread_;
};

// Swallows the echo output and error lines: only crashes and sanitizer
// reports matter here, and a script may print without end.
class Discard : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static Discard discard;
  std::cout.rdbuf(&discard);
  std::cerr.rdbuf(&discard);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  engine::FrameBuffer frame;
  frame.requestedWidth = 8;
  frame.requestedHeight = 6;
  frame.scriptText.assign(reinterpret_cast<const char*>(data), size);
  frame.frameSink = [](engine::FrameBuffer&) { return true; };
  const std::unique_ptr<engine::Fractal> scene = lang::createScene(frame);
  if (!scene) return 0;
  scene->frameBuffer = &frame;
  scene->threadCount = 1;
  const CancelAfter watchdog(*scene, kBuildLimit);
  lang::BuildDriver().run(*scene);
  return 0;
}
