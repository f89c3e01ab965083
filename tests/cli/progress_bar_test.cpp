#include "progress_bar.h"

#include <pty.h>
#include <sys/wait.h>
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
    const std::string blank = "\r" + std::string(progressLine(42.0, 2u).size(), ' ') + "\r";
    EXPECT_TRUE(terminal.text().ends_with(blank)) << terminal.text();
    progress = 100.0;
    ASSERT_TRUE(terminal.shows(progressLine(100.0, 2u)));
  }
  EXPECT_EQ(log.rdbuf(), logBuffer);
  // Erased at the end, over the full width drawn.
  const std::string text = terminal.text();
  EXPECT_TRUE(text.ends_with("\r" + std::string(progressLine(100.0, 2u).size(), ' ') + "\r"))
      << text;
}

const std::string kSlowScene =
    "camera position(1.2, 2.4, -5.6) direction(-1.2, -2.4, 5.6) vertical(0, 1, 0) fov(36);\n"
    "light color(1) position(-3, 7, -6) attenuation(0, 0, 1);\n"
    "antialiasing(3);\n"
    "set T = 0.5 translate(0.5, 0.5, 0.5) T + 0.5 translate(0.5, -0.5, -0.5) T\n"
    "      + 0.5 translate(-0.5, 0.5, -0.5) T + 0.5 translate(-0.5, -0.5, 0.5) T;\n"
    "build T;\n";

TEST(CliProgress, NoBarWhenStandardErrorIsNoTerminal) {
  const testing::CliRun run = testing::runCli("-s 600x450 -", kSlowScene);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

TEST(CliProgress, BarOnATerminalIsErasedAtTheEnd) {
  int master = -1, slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    GTEST_SKIP() << "no pseudo-terminal";
  }
  const std::string script = testing::scriptFile("slow.ifs", kSlowScene);
  // The script writes nothing on standard output.
  const pid_t pid = testing::spawnCli({"-s", "1200x900", script}, 2, slave, master);
  ASSERT_NE(pid, -1);
  close(slave);
  std::string seen;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, size_t(n));
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(seen.find("%"), std::string::npos) << seen;
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), '\r');
  EXPECT_TRUE(seen.ends_with(std::string(20, ' ') + "\r")) << seen;
}

}  // namespace
}  // namespace cli
