#pragma once

#include <chrono>
#include <cstdint>

namespace engine {

// The work of the sphere-tree walks over a frame, summed over the workers:
// for each walk, the rays it took and the time it ran. What the benchmarks
// report as rays per second per walk.
struct WalkStats {
  enum Walk { kHit, kNormal, kShadow, kWalks };
  uint64_t rays[kWalks] = {};
  double seconds[kWalks] = {};

  WalkStats& operator+=(const WalkStats& other) {
    for (int w = 0; w < kWalks; ++w) {
      rays[w] += other.rays[w];
      seconds[w] += other.seconds[w];
    }
    return *this;
  }

  // Runs `walk()` over `count` rays and accounts it.
  template <class Run>
  bool time(Walk walk, uint64_t count, Run run) {
    const auto start = std::chrono::steady_clock::now();
    const bool finished = run();
    seconds[walk] +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rays[walk] += count;
    return finished;
  }
};

}  // namespace engine
