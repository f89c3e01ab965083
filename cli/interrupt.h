#pragma once

#include <atomic>

namespace cli {

// While it lives, Ctrl+C (SIGINT, or the console event on Windows) sets the
// given flag so that a running build stops cleanly; a second Ctrl+C ends the
// program at once.
class InterruptCancels {
 public:
  explicit InterruptCancels(std::atomic<bool>& flag);
  ~InterruptCancels();
  InterruptCancels(const InterruptCancels&) = delete;
  InterruptCancels& operator=(const InterruptCancels&) = delete;
};

}  // namespace cli
