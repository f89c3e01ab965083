#include "build_clock.h"

#include <atomic>

#include "shell/platform.h"

namespace app {

namespace {

std::atomic<int> runningBuilds{0};
std::atomic<unsigned> buildsStarted{0};

}  // namespace

BuildClock::BuildClock()
    : wallStart_(std::chrono::steady_clock::now()),
      userStart_(shell::processUserTime()),
      alone_(runningBuilds.fetch_add(1) == 0),
      startNumber_(buildsStarted.fetch_add(1) + 1) {}

BuildClock::~BuildClock() {
  runningBuilds.fetch_sub(1);
}

uint64_t BuildClock::elapsedTicks() const {
  const auto elapsed = std::chrono::steady_clock::now() - wallStart_;
  return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100);
}

std::optional<uint64_t> BuildClock::processorTicks() const {
  if (!alone_ || buildsStarted.load() != startNumber_) return std::nullopt;
  return shell::processUserTime() - userStart_;
}

}  // namespace app
