#include "progress_bar.h"

#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli {
namespace {

TEST(ProgressLine, FillsThirtyCellsAndShowsThePercentage) {
  EXPECT_EQ(progressLine(0.0, std::nullopt), "[------------------------------]   0.00%");
  EXPECT_EQ(progressLine(50.0, std::nullopt), "[###############---------------]  50.00%");
  EXPECT_EQ(progressLine(100.0, 3u), "[##############################] 100.00%, Frame 3");
  EXPECT_EQ(progressLine(100.5, std::nullopt), progressLine(100.0, std::nullopt));
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
