#include <csignal>
#include <cstdio>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "engine/random_state.h"

namespace cli::testing {
namespace {

TEST(Cli, VersionAndHelp) {
  const CliRun version = runCli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("zentarel3d-cli 1.", 0), 0u);
  const CliRun help = runCli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: zentarel3d-cli"), std::string::npos);
}

TEST(Cli, UsageErrorsExitWithTwoAndOneLine) {
  for (const char* args : {"", "--frobnicate x.ifs", "--size 3 x.ifs", "a.ifs b.ifs", "-o a.jpg -",
                           "-o png -", "--avi a.avi --codec nonesuch x.ifs", "--update-script -",
                           "--update-script --sample 0", "--sample -1"}) {
    const CliRun run = runCli(args, "echo 'built';");
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_TRUE(run.err.starts_with("zentarel3d-cli: ")) << args;
    EXPECT_TRUE(run.err.ends_with(" (see --help)\n")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args;
  }
}

constexpr const char* kSavesAFrame =
    "camera position(0, 0, -5) vertical(0, 1, 0);\n"
    "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A; save_frame();";

// Exit status 0 built, 1 failed, 2 unusable input or output, 3 nothing to
// draw; script output on standard output, errors on standard error.
TEST(Cli, ExitStatusAndOutputs) {
  const struct {
    std::string args, input;
    int status;
    std::string out, err;
  } cases[] = {
      {"/nonexistent/scene.ifs", "", 2, "",
       "zentarel3d-cli: cannot read '/nonexistent/scene.ifs': No such file or directory\n"},
      {"-", "x = 6;\necho \"x*7=\", x * 7;\n", 3, "x*7=42\n", ""},
      {"-", "x = 1;\ny = ;\n", 1, "", "error: line 2:5: unexpected token: ;\n"},
      {"-", "set A = inverse() matrix(1,0,0,0,1,0,0,0,1) A;", 1, "",
       "error: line 1:19: Can't detect fractal type: map 'inverse' conficts with map 'matrix'\n"},
      {"-", "x++; light color(1) position(0,0,0);", 1,
       "warning: line 1: variable 'x' is undefined\n", "error: camera statement not found\n"},
      {"--size 64x48 " SAMPLES_DIR "/demo.ifs", "", 0, "", ""},
      {"--size 32x24 -",
       "echo \"first\";\n"
       "camera position(0, 0, -5) direction(0, 0, 0) vertical(0, 1, 0);\n"
       "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;",
       1, "first\nInvalid direction\n", ""},  // the render error after the build
      {"--size 32x24 -", kSavesAFrame, 1, "", "error: line 2:52: can't save frame\n"},
      // The script is read as a document reads it: every line ends in "\r\n".
      {"--tokens -", "x = \"a\tb\";\nr := 2;\ny = r;", 0,
       "1\t45\tx\n1\t38\t=\n1\t18\ta\\tb\n1\t8\t;\n3\t45\ty\n3\t38\t=\n2\t44\t2\n3\t8\t;\n4\t1\t\n",
       ""},
      {"--tokens -", "s = 'one\ntwo';", 0,  // a line break inside a string is no new line
       "1\t45\ts\n1\t38\t=\n1\t19\tone\\r\\ntwo\n1\t8\t;\n2\t1\t\n", ""},
      {"--tokens -", "a b\n$", 1, "1\t45\ta\n1\t45\tb\n",
       "error: line 2:1: unexpected char: '$'\n"},
      // A scene dump prepares the sets without a camera, and prints only a
      // failed preparation's error.
      {"--dump-scene -", "set A = A; build A;", 1, "No maps found\n", ""},
      {"--dump-scene -", "set A = inverse() A + rotate_v(1, 0, 0, 0, 1, 0) A; build A;", 1,
       "Invalid map\n", ""},
      {"--dump-scene -", "set A = (0.5 A + 0.4 A) % 3; build A;", 1, "", ""},
      {"--dump-scene -", "set A = 0.5 B; build A;", 1, "",
       "error: set 'B' is used but not defined\n"},
      {"--dump-scene -", "x = 1;", 1, "", "error: no set defined!\n"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(c.args, c.input);
    EXPECT_EQ(run.status, c.status) << c.args << " < " << c.input;
    EXPECT_EQ(run.out, c.out) << c.args << " < " << c.input;
    EXPECT_EQ(run.err, c.err) << c.args << " < " << c.input;
  }
  EXPECT_EQ(runCli(::testing::TempDir()).status, 2);  // a directory
}

TEST(Cli, VerboseReportsStartAndDuration) {
  const std::string path = scriptFile("named.ifs", "echo 1;");
  const CliRun run = runCli("-v " + path);
  EXPECT_EQ(run.out, "1\n");
  const std::string name = path.substr(path.rfind('/') + 1);
  EXPECT_EQ(run.err.rfind("building: " + name + "\nfinished: ", 0), 0u) << run.err;
  EXPECT_EQ(run.err.back(), '\n');
}

TEST(Cli, SeedFixesTheRandomState) {
  const CliRun run = runCli("--seed 1099511627781 -", "echo rnd(1); randomize(0.5); echo rnd(1);");
  // 2^40 + 5 is 5 modulo 2^40; the build takes one step before the script.
  engine::RandomState state = engine::RandomState::fromValue(5);
  state.next();
  char expected[64];
  std::snprintf(expected, sizeof expected, "%.18g\nrandomize(0.5)\n0.5\n", state.unit());
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(runCli("--seed 5 -", "echo rnd(1);").out, runCli("--seed 5 -", "echo rnd(1);").out);
}

TEST(Cli, InterruptCancelsTheBuild) {
  const std::string script = scriptFile("endless.ifs", "echo \"started\";\nwhile (1) n++;\n");
  int output[2];
  ASSERT_EQ(pipe(output), 0);
  const pid_t pid = spawnCli({script}, 1, output[1], output[0]);
  ASSERT_NE(pid, -1);
  close(output[1]);
  // Once the script has spoken, the build (and its Ctrl+C handler) is running.
  std::string seen;
  char c;
  while (seen.find('\n') == std::string::npos && read(output[0], &c, 1) == 1) seen += c;
  EXPECT_EQ(seen, "started\n");
  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  close(output[0]);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
}  // namespace cli::testing
