#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace cli {

// The bar's text: a bar of 30 cells, the percentage, the frame's time so far
// and an estimate of the time left (once there is progress to go by), and the
// frames written when an animation is being written.
std::string progressLine(double percent, std::chrono::seconds elapsed,
                         std::optional<unsigned> frames);

// While it lives, a thread draws the progress of the frame being built on
// one line of a terminal and redraws it over itself with "\r". Whatever is
// written to the guarded streams meanwhile first erases the bar, so that
// their lines never run into it; the bar is erased when the object goes.
// Nothing is drawn before the first frame starts (progress below 0).
class ProgressBar {
 public:
  ProgressBar(const std::atomic<double>& progress, const std::atomic<unsigned>* frames,
              std::ostream& terminal, const std::vector<std::ostream*>& guarded,
              std::chrono::milliseconds interval);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

 private:
  class GuardBuffer;
  void run();
  // Both with mutex_ held.
  void draw();
  void erase();

  const std::atomic<double>& progress_;
  const std::atomic<unsigned>* frames_;
  std::streambuf* terminal_;
  const std::chrono::milliseconds interval_;

  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  size_t shown_ = 0;  // characters of the bar on the terminal's line
  // When the frame being built started: progress is below 0 until the first
  // frame starts and falls back at each later one.
  std::chrono::steady_clock::time_point frameStart_ = std::chrono::steady_clock::now();
  double lastPercent_ = -1.0;

  struct Guard {
    std::ostream* stream;
    std::streambuf* original;
    std::unique_ptr<GuardBuffer> buffer;
  };
  std::vector<Guard> guards_;
  std::thread thread_;
};

}  // namespace cli
