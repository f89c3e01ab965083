// Times the renderer on the benchmark scenes: render time, subpixel rays per
// second and peak resident memory, with the CPU time that other processes
// took meanwhile (runs marked NOISY are not to be trusted). Without arguments it runs the standard
// matrix at 640x480; with --scene it renders one case (for the peer
// comparison and the memory measurement, which need a process of their own).
#include <sys/resource.h>
#include <unistd.h>

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
#include "shell/image_file.h"

namespace {

struct Case {
  bench::Scene scene = bench::Scene::Menger;
  int width = 640, height = 480;
  int threads = 1;
  bench::SceneOptions options;
};

struct Timing {
  double bestSeconds = 0.0, medianSeconds = 0.0;
  double othersSeconds = 0.0;  // CPU that other processes took during the best run
  engine::WalkStats walks;     // of the best run
  bool ok = false;
};

long peakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double ownCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// CPU seconds that every process together has used, from /proc/stat; 0 where
// it cannot be read. The machine is shared: what others use spoils a timing.
double busyCpuSeconds() {
  std::FILE* stat = std::fopen("/proc/stat", "r");
  if (!stat) return 0.0;
  unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0;
  const int n = std::fscanf(stat, "cpu %llu %llu %llu %llu %llu %llu %llu", &user, &nice, &system,
                            &idle, &iowait, &irq, &softirq);
  std::fclose(stat);
  if (n != 7) return 0.0;
  return double(user + nice + system + irq + softirq) / double(sysconf(_SC_CLK_TCK));
}

// The application gives the renderer a budget from the free memory; the
// renderer's own tile cap then bounds what it takes.
constexpr uint64_t kMemoryBudget = uint64_t(1) << 30;

bool noisy(double seconds, double others) {
  return others > 0.05 * seconds + 0.02;
}

// One render; false when it failed.
bool renderOnce(const Case& c, engine::FrameBuffer& frame, double& seconds, double& others,
                engine::WalkStats& walks) {
  auto scene = bench::makeScene(c.scene, c.options);
  scene->frameBuffer = &frame;
  scene->threadCount = c.threads;
  const double busyBefore = busyCpuSeconds(), ownBefore = ownCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const bool ok = scene->renderFrame() && frame.valid;
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  others = std::max(busyCpuSeconds() - busyBefore - (ownCpuSeconds() - ownBefore), 0.0);
  walks = scene->walkStats;
  if (!ok) std::fprintf(stderr, "render failed: %s\n", scene->renderError.c_str());
  return ok;
}

// Repetitions that other processes disturbed are run again, twice at most.
Timing timeCase(const Case& c, int repetitions, const char* imageFile) {
  engine::FrameBuffer frame;
  frame.requestedWidth = uint32_t(c.width);
  frame.requestedHeight = uint32_t(c.height);
  frame.memoryBudget = kMemoryBudget;
  Timing timing;
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    double seconds = 0.0, others = 0.0;
    engine::WalkStats walks;
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (!renderOnce(c, frame, seconds, others, walks)) return timing;
      if (!noisy(seconds, others)) break;
    }
    if (times.empty() || seconds < *std::min_element(times.begin(), times.end())) {
      timing.othersSeconds = others;
      timing.walks = walks;
    }
    times.push_back(seconds);
  }
  if (imageFile) {
    const std::string failure =
        shell::writeImageFile(frame, imageFile, shell::ImageFileFormat::Bmp);
    if (!failure.empty()) std::fprintf(stderr, "cannot write %s: %s\n", imageFile, failure.c_str());
  }
  std::sort(times.begin(), times.end());
  timing.bestSeconds = times.front();
  timing.medianSeconds = times[times.size() / 2];
  timing.ok = true;
  return timing;
}

// Rays per second of each walk in its own time (summed over the workers).
std::string walkRates(const engine::WalkStats& walks) {
  static const char* const names[] = {"hit", "normal", "shadow"};
  std::string text;
  char field[48];
  for (int w = 0; w < engine::WalkStats::kWalks; ++w) {
    if (walks.rays[w] == 0 || !(walks.seconds[w] > 0.0)) continue;
    std::snprintf(field, sizeof field, "  %s %.3g", names[w],
                  double(walks.rays[w]) / walks.seconds[w] / 1e6);
    text += field;
  }
  return text.empty() ? text : "  Mrays/s per walk:" + text;
}

void printRow(const Case& c, const Timing& t) {
  const double rays = double(c.width) * c.height * c.options.antialiasing * c.options.antialiasing;
  std::printf(
      "%-10s %5dx%-5d aa %d shadows %-3s threads %d  best %7.3f s  median %7.3f s  "
      "%6.2f Mrays/s  peak %6ld MiB  others %5.2f s%s%s\n",
      bench::sceneName(c.scene), c.width, c.height, c.options.antialiasing,
      c.options.shadows ? "on" : "off", c.threads, t.bestSeconds, t.medianSeconds,
      rays / t.bestSeconds / 1e6, peakResidentKiB() / 1024, t.othersSeconds,
      noisy(t.bestSeconds, t.othersSeconds) ? " NOISY" : "", walkRates(t.walks).c_str());
  std::fflush(stdout);
}

int usage() {
  std::fprintf(
      stderr,
      "usage: zentarel3d-bench [--reps N]\n"
      "       zentarel3d-bench --scene menger|sierpinski|pearls|prism [--size WxH] [--aa N]\n"
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
