#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "lang/build_driver.h"
#include "script_harness.h"

namespace lang::testing {
namespace {

// Scripts that use every part of the language; mutations of them reach the
// error paths deep inside statements, loops and set expressions.
const std::vector<std::string> kCorpus = {
    "r := 0.5; /* alias */\n"
    "camera position(0, 0, -5) vertical(0, 1, 0) fov(40);\n"
    "light color(1, 0.9, 0.8) position(3, 4, -5) spot_angles(10, 20);\n"
    "ambient(0.1); background(0.2, 0.3, 0.4, 1);\n"
    "set A = scale(r) A + translate(r, 0, 0) scale(r) A + translate(0, r, 0) r A;\n"
    "build A; color(1, 0.5, 0) shininess(8);\n",
    "for (i = 0; i < 3; i++) { a[i] = i ^ 2; if (a[i] > 1) echo \"big \", a[i]; else echo i; }\n"
    "n = 0; while (n < 4) { n += 1; do { m++; } while (m < n); }\n"
    "x = n > 2 ? sin(30) : cos(60); y = (x += 1) * 2 || 0 && 5;\n",
    "angles radian; randomize(0.25); randState(0.5);\n"
    "set B = (rotate(1) + rotate(0, 1, 0, 2) + reflect(1, 0, 0)) % 2 B {2} | 3;\n"
    "set C = inverse() C + stretch(0, 0, 1, 0.2) C; set B += weight(0.3) bound(0, 0, 0, 2) C;\n"
    "camera position(0, 0, -4) direction(0, 0, 1) vertical(0, 1, 0) stereo(0.1, 4);\n"
    "build B; metal(0.7);\nsave_frame();\nclearSets;\n",
    "tracing_depth(2); antialiasing(2); section(0, 0, 1, 0.1); precision(1, 2); fps(25);\n"
    "k := 1 +\n 2;\necho k * 3, 'q', \"\\\"\";\nz = max(k, min(1, 2)) + atan2(1, 1) + arg(1, 0);\n"
    "light direction(1, 1, 1) diffuse(1) specular(0.5, 0.5, 0.5) attachment(0);\n"
    "clear_lights(); reflect_background(1);\n",
    "set M = matrix(1, 0, 0, 0, 1, 0, 0, 0, 0.5) M + affine2d(0.5, 0, 0, 0.5, 1, 1) M;\n"
    "set N = rotate_v(1, 0, 0, 0, 1, 0) id() empty() (M + N);\n"
    "# comment\ncamera position(1, 1, 1) vertical(0, 0, 1);\nbuild N = 0.5 N;\n",
};

// Builds the script, cancelling a build that runs too long as the user would,
// so that the endless loops mutations make cannot stall the test. Every line
// the build printed on the error stream must be an error line.
void buildGuarded(const std::string& script) {
  engine::FrameBuffer frame;
  frame.requestedWidth = 16;
  frame.requestedHeight = 12;
  frame.scriptText = script;
  CapturedOutput output;
  if (std::unique_ptr<engine::Fractal> scene = createScene(frame)) {
    scene->frameBuffer = &frame;
    // A plain condition variable: the stop-token wait of condition_variable_any
    // hung for good under MinGW-w64's threads.
    std::mutex mutex;
    std::condition_variable wake;
    bool finished = false;
    std::thread watchdog([&] {
      std::unique_lock lock(mutex);
      if (!wake.wait_for(lock, std::chrono::milliseconds(200), [&] { return finished; }))
        scene->canceled = true;
    });
    BuildDriver().run(*scene);
    {
      const std::lock_guard lock(mutex);
      finished = true;
    }
    wake.notify_one();
    watchdog.join();
  }
  std::istringstream lines(output.err());
  for (std::string line; std::getline(lines, line);)
    EXPECT_EQ(line.rfind("error: ", 0), 0u) << line << "\nscript:\n" << script;
}

std::string mutate(const std::string& script, std::mt19937& random) {
  static const std::vector<std::string> fragments = {
      ";",     "(",          ")",         "{",  "}",  "[",    "]",    ",",      "=",
      "+=",    "+",          "*",         "%",  "|",  ":=",   "\"",   "'",      "/*",
      "//",    "#",          "\n",        "\r", "0",  "1e",   ".",    "A",      "set",
      "build", "for",        "while",     "do", "if", "else", "echo", "camera", "light",
      "scale", "save_frame", "clearSets", "$",  "\0"};
  std::string s = script;
  const int edits = 1 + int(random() % 3);
  for (int e = 0; e < edits && !s.empty(); ++e) {
    const size_t at = random() % s.size();
    const size_t length = 1 + random() % std::min<size_t>(20, s.size() - at);
    switch (random() % 5) {
      case 0:
        s.resize(at);
        break;
      case 1:
        s[at] = char(random() % 256);
        break;
      case 2:
        s.erase(at, length);
        break;
      case 3:
        s.insert(at, s.substr(at, length));
        break;
      default:
        s.insert(at, fragments[random() % fragments.size()]);
        break;
    }
  }
  return s;
}

// Random bytes, and mutations of scripts that use every part of the language.
TEST(Robustness, RandomBytesAndMutatedScripts) {
  std::mt19937 random(20240611);
  for (int n = 0; n < 1500; ++n) {
    std::string bytes(random() % 120, '\0');
    for (char& c : bytes) c = char(random() % 256);
    lex(bytes);
    buildGuarded(bytes);
  }
  random.seed(7);
  for (const std::string& script : kCorpus) {
    buildGuarded(script);
    for (int n = 0; n < 400; ++n) buildGuarded(mutate(script, random));
    for (size_t end = 0; end < script.size(); end += 7) buildGuarded(script.substr(0, end));
  }
}

}  // namespace
}  // namespace lang::testing
