#include <csignal>
#include <cstdio>
#include <string>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "engine/random_state.h"

extern char** environ;

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

TEST(Cli, UsageErrorsExitWithTwo) {
  for (const char* args : {"", "--frobnicate x.ifs", "--size 3 x.ifs", "a.ifs b.ifs"}) {
    const CliRun run = runCli(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_EQ(run.err.rfind("zentarel3d-cli: ", 0), 0u) << args;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args;
  }
}

TEST(Cli, UnreadableScriptExitsWithTwo) {
  const CliRun missing = runCli("/nonexistent/scene.ifs");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "zentarel3d-cli: cannot read '/nonexistent/scene.ifs'\n");
  EXPECT_EQ(runCli(::testing::TempDir()).status, 2);
}

TEST(Cli, ScriptWithNothingToDrawExitsWithThree) {
  const CliRun run = runCli(scriptFile("echo.ifs", "x = 6;\necho \"x*7=\", x * 7;\n"));
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "x*7=42\n");
  EXPECT_EQ(run.err, "");
}

TEST(Cli, ScriptFromStandardInput) {
  const CliRun run = runCli("-", "echo 'stdin';");
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "stdin\n");
}

TEST(Cli, ScriptErrorsExitWithOne) {
  const CliRun run = runCli("-", "x = 1;\ny = ;\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error: line 2:5: unexpected token: ;\n");
  const CliRun prescan = runCli("-", "set A = inverse() matrix(1,0,0,0,1,0,0,0,1) A;");
  EXPECT_EQ(prescan.status, 1);
  EXPECT_EQ(prescan.err,
            "error: line 1:19: Can't detect fractal type: map 'inverse' conficts with map "
            "'matrix'\n");
  const CliRun warnings = runCli("-", "x++; light color(1) position(0,0,0);");
  EXPECT_EQ(warnings.status, 1);
  EXPECT_EQ(warnings.out, "warning: line 1: variable 'x' is undefined\n");
  EXPECT_EQ(warnings.err, "error: camera statement not found\n");
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

TEST(Cli, TokenListing) {
  const CliRun run = runCli("--tokens -", "x = \"a\tb\";\nr := 2;\ny = r;");
  EXPECT_EQ(run.status, 0);
  // The script is read as a document reads it: every line ends in "\r\n".
  EXPECT_EQ(run.out,
            "1\t45\tx\n1\t38\t=\n1\t18\ta\\tb\n1\t8\t;\n"
            "3\t45\ty\n3\t38\t=\n2\t44\t2\n3\t8\t;\n4\t1\t\n");
  EXPECT_EQ(run.err, "");
  // A line break inside a string is no new line.
  const CliRun multiline = runCli("--tokens -", "s = 'one\ntwo';");
  EXPECT_EQ(multiline.out, "1\t45\ts\n1\t38\t=\n1\t19\tone\\r\\ntwo\n1\t8\t;\n2\t1\t\n");
}

TEST(Cli, TokenListingStopsAtALexicalError) {
  const CliRun run = runCli("--tokens -", "a b\n$");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "1\t45\ta\n1\t45\tb\n");
  EXPECT_EQ(run.err, "error: line 2:1: unexpected char: '$'\n");
}

TEST(Cli, InterruptCancelsTheBuild) {
  const std::string script = scriptFile("endless.ifs", "echo \"started\";\nwhile (1) n++;\n");
  int output[2];
  ASSERT_EQ(pipe(output), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  char* argv[] = {const_cast<char*>(CLI_PATH), const_cast<char*>(script.c_str()), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, CLI_PATH, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
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

TEST(Cli, DemoSceneBuilds) {
  const CliRun run = runCli("--size 64x48 " SAMPLES_DIR "/demo.ifs");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

TEST(Cli, RenderErrorIsPrintedAfterTheBuild) {
  const CliRun run = runCli("--size 32x24 -",
                            "echo \"first\";\n"
                            "camera position(0, 0, -5) direction(0, 0, 0) vertical(0, 1, 0);\n"
                            "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "first\nInvalid direction\n");
  EXPECT_EQ(run.err, "");
}

TEST(Cli, FramesNeedATaker) {
  const CliRun run = runCli("--size 32x24 -",
                            "camera position(0, 0, -5) vertical(0, 1, 0);\n"
                            "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A; save_frame();");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "error: line 2:52: can't save frame\n");
}

}  // namespace
}  // namespace cli::testing
