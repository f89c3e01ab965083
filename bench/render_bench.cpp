// Times the renderer on the benchmark scenes: render time, subpixel rays per
// second and peak resident memory. Without arguments it runs the standard
// matrix at 640x480; with --scene it renders one case (for the peer
// comparison and the memory measurement, which need a process of their own).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench_scenes.h"
#include "engine/frame_buffer.h"

namespace {

struct Case {
  bench::Scene scene = bench::Scene::Menger;
  int width = 640, height = 480;
  int threads = 1;
  bench::SceneOptions options;
};

struct Timing {
  double bestSeconds = 0.0, medianSeconds = 0.0;
  bool ok = false;
};

long peakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The application gives the renderer a budget from the free memory; the
// renderer's own tile cap then bounds what it takes.
constexpr uint64_t kMemoryBudget = uint64_t(1) << 30;

Timing timeCase(const Case& c, int repetitions, const char* imageFile) {
  std::vector<double> seconds;
  engine::FrameBuffer frame;
  frame.requestedWidth = uint32_t(c.width);
  frame.requestedHeight = uint32_t(c.height);
  frame.memoryBudget = kMemoryBudget;
  Timing timing;
  for (int i = 0; i < repetitions; ++i) {
    auto scene = bench::makeScene(c.scene, c.options);
    scene->frameBuffer = &frame;
    scene->threadCount = c.threads;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = scene->renderFrame();
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!ok || !frame.valid) {
      std::fprintf(stderr, "render failed: %s\n", scene->renderError.c_str());
      return timing;
    }
  }
  if (imageFile && !frame.saveBitmap(imageFile))
    std::fprintf(stderr, "cannot write %s\n", imageFile);
  std::sort(seconds.begin(), seconds.end());
  timing.bestSeconds = seconds.front();
  timing.medianSeconds = seconds[seconds.size() / 2];
  timing.ok = true;
  return timing;
}

void printRow(const Case& c, const Timing& t) {
  const double rays = double(c.width) * c.height * c.options.antialiasing * c.options.antialiasing;
  std::printf(
      "%-10s %5dx%-5d aa %d shadows %-3s threads %d  best %7.3f s  median %7.3f s  "
      "%6.2f Mrays/s  peak %6ld MiB\n",
      bench::sceneName(c.scene), c.width, c.height, c.options.antialiasing,
      c.options.shadows ? "on" : "off", c.threads, t.bestSeconds, t.medianSeconds,
      rays / t.bestSeconds / 1e6, peakResidentKiB() / 1024);
  std::fflush(stdout);
}

int usage() {
  std::fprintf(
      stderr,
      "usage: zentarel3d-bench [--reps N]\n"
      "       zentarel3d-bench --scene menger|sierpinski|pearls [--size WxH] [--aa N]\n"
      "                        [--shadows 0|1] [--threads N] [--reps N] [--out file.bmp]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Case single;
  bool haveScene = false;
  int repetitions = 3;
  const char* imageFile = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return usage();
    const char* value = argv[++i];
    if (arg == "--scene") {
      if (!bench::sceneNamed(value, single.scene)) return usage();
      haveScene = true;
    } else if (arg == "--size") {
      if (std::sscanf(value, "%dx%d", &single.width, &single.height) != 2) return usage();
    } else if (arg == "--aa") {
      single.options.antialiasing = std::atoi(value);
    } else if (arg == "--shadows") {
      single.options.shadows = std::atoi(value) != 0;
    } else if (arg == "--threads") {
      single.threads = std::atoi(value);
    } else if (arg == "--reps") {
      repetitions = std::max(std::atoi(value), 1);
    } else if (arg == "--out") {
      imageFile = value;
    } else {
      return usage();
    }
  }

  if (haveScene) {
    const Timing t = timeCase(single, repetitions, imageFile);
    if (!t.ok) return 1;
    printRow(single, t);
    return 0;
  }

  const int cores = int(std::max(std::thread::hardware_concurrency(), 1u));
  std::vector<int> threadCounts{1};
  if (cores > 1) threadCounts.push_back(cores);
  for (bench::Scene scene : bench::allScenes()) {
    for (int aa : {1, 2}) {
      for (bool shadows : {false, true}) {
        for (int threads : threadCounts) {
          Case c;
          c.scene = scene;
          c.threads = threads;
          c.options = {shadows, aa};
          const Timing t = timeCase(c, repetitions, nullptr);
          if (!t.ok) return 1;
          printRow(c, t);
        }
      }
    }
  }
  return 0;
}
