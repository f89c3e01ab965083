#include "progress_bar.h"

#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

TEST(ProgressLine, FillsThirtyCellsAndShowsThePercentage) {
  EXPECT_EQ(progressLine(0.0, std::nullopt), "[------------------------------]   0.00%");
  EXPECT_EQ(progressLine(50.0, std::nullopt), "[###############---------------]  50.00%");
  EXPECT_EQ(progressLine(100.0, 3u), "[##############################] 100.00%, Frame 3");
  EXPECT_EQ(progressLine(100.5, std::nullopt), progressLine(100.0, std::nullopt));
}

// A terminal that the test can read while the bar's thread writes to it. The
// lock is recursive: the string buffer's xsputn calls overflow.
class Terminal : public std::stringbuf {
 public:
  std::string text() {
    std::lock_guard lock(mutex_);
    return str();
  }
  // Waits until the terminal shows `expected`; false after five seconds.
  bool shows(const std::string& expected) {
    for (auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(2ms)) {
      if (text().find(expected) != std::string::npos) return true;
    }
    return false;
  }

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::lock_guard lock(mutex_);
    return std::stringbuf::xsputn(s, n);
  }
  int_type overflow(int_type c) override {
    std::lock_guard lock(mutex_);
    return std::stringbuf::overflow(c);
  }

 private:
  std::recursive_mutex mutex_;
};

TEST(ProgressBar, DrawsWhileTheFrameIsBuiltAndGivesWayToOutput) {
  Terminal terminal;
  std::ostream terminalStream(&terminal);
  std::ostringstream log;
  std::streambuf* const logBuffer = log.rdbuf();
  std::atomic<double> progress{-1.0};
  std::atomic<unsigned> frames{0};
  const std::string blank = "\r" + std::string(progressLine(42.0, 2u).size(), ' ') + "\r";
  {
    ProgressBar bar(progress, &frames, terminalStream, {&log}, 1ms);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(terminal.text(), "");  // nothing before the frame starts
    progress = 42.0;
    frames = 2;
    ASSERT_TRUE(terminal.shows("\r" + progressLine(42.0, 2u)));
    log << "a line" << std::endl;
    // The line went to its own stream after the bar was erased.
    EXPECT_EQ(log.str(), "a line\n");
    EXPECT_TRUE(terminal.text().ends_with(blank)) << terminal.text();
    progress = 100.0;
    ASSERT_TRUE(terminal.shows(progressLine(100.0, 2u)));
  }
  EXPECT_EQ(log.rdbuf(), logBuffer);
  EXPECT_TRUE(terminal.text().ends_with(blank)) << terminal.text();  // erased at the end
}

// On a terminal the runner draws the bar on standard error and erases it.
TEST(CliProgress, BarOnATerminalIsErasedAtTheEnd) {
  int master = -1, slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    GTEST_SKIP() << "no pseudo-terminal";
  }
  testing::TempDir dir;
  const std::string script = dir.write(
      "slow.ifs",
      "camera position(1.2, 2.4, -5.6) direction(-1.2, -2.4, 5.6) vertical(0, 1, 0) fov(36);\n"
      "light color(1) position(-3, 7, -6) attenuation(0, 0, 1);\nantialiasing(3);\n"
      "set T = 0.5 translate(0.5, 0.5, 0.5) T + 0.5 translate(0.5, -0.5, -0.5) T\n"
      "      + 0.5 translate(-0.5, 0.5, -0.5) T + 0.5 translate(-0.5, -0.5, 0.5) T;\n"
      "build T;\n");
  const pid_t pid = testing::spawnCli({"-s", "1200x900", script}, 2, slave, master);
  ASSERT_NE(pid, -1);
  close(slave);
  std::string seen;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, size_t(n));
  close(master);
  EXPECT_EQ(testing::exitStatus(pid), 0);
  EXPECT_TRUE(seen.starts_with("\r[")) << seen;
  EXPECT_NE(seen.find("%"), std::string::npos) << seen;
  EXPECT_TRUE(seen.ends_with(std::string(20, ' ') + "\r")) << seen;
}

}  // namespace
}  // namespace cli
