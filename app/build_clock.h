#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace app {

// Times one build: the wall time, and the processor time of the process,
// which includes the renderer's worker threads. The processor time belongs to
// the build only when no other document built meanwhile; otherwise it is not
// reported.
class BuildClock {
 public:
  BuildClock();
  ~BuildClock();
  BuildClock(const BuildClock&) = delete;
  BuildClock& operator=(const BuildClock&) = delete;

  // Both in 100-nanosecond units since construction.
  uint64_t elapsedTicks() const;
  std::optional<uint64_t> processorTicks() const;

 private:
  std::chrono::steady_clock::time_point wallStart_;
  uint64_t userStart_;
  bool alone_;
  unsigned startNumber_;
};

}  // namespace app
