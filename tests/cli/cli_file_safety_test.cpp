// Files on the edge: endless input, full disks, full standard output, a
// script edited during its build.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "test_files.h"

namespace cli::testing {
namespace {

namespace fs = std::filesystem;
using shell::testing::TempDir;

const std::string kScene =
    "echo \"ran\";\n"
    "camera position(0, 0, -5) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;\n";

// A shell command around the program: `before` and `after` are shell text,
// such as a pipe into it or limits set for it.
CliRun runInShell(const std::string& before, const std::string& args, const std::string& after) {
  const std::string err = ::testing::TempDir() + "zentarel_safety_" + std::to_string(getpid());
  const std::string command =
      "sh -c '" + before + " " + CLI_PATH + " " + args + " " + after + " 2>" + err + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), "", readFile(err)};
}

// Endless input stops at the size limit, not at the end of the memory.
TEST(CliFileSafety, EndlessInputIsTooLarge) {
  const struct {
    std::string before, args, message;
  } cases[] = {
      {"", "/dev/zero", "zentarel3d-cli: cannot read '/dev/zero': script too large\n"},
      {"yes \"x = 1;\" |", "-", "zentarel3d-cli: cannot read standard input: script too large\n"},
      {"", "--list-samples --samples /dev/zero",
       "zentarel3d-cli: cannot read samples file '/dev/zero': samples file too large\n"},
  };
  for (const auto& c : cases) {
    const CliRun run = runInShell("ulimit -v 1000000;" + c.before, c.args, "");
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_EQ(run.err, c.message);
  }
}

// A script below the size limit, or an image, that the memory cannot hold:
// reported, not an abort.
TEST(CliFileSafety, RunningOutOfMemoryIsReported) {
  TempDir dir;
  const std::string out = dir.file("out.txt");
  const struct {
    std::string before, args;
  } cases[] = {
      {"ulimit -v 300000; head -c 60000000 /dev/zero |", "-"},
      {"ulimit -v 2000000;", "-s 65535x65535 " + dir.write("big.ifs", kScene)},
  };
  for (const auto& c : cases) {
    const CliRun run = runInShell(c.before, c.args, ">" + out);
    EXPECT_EQ(run.status, 1) << c.args;
    EXPECT_NE((readFile(out) + run.err).find("Not enough memory\n"), std::string::npos) << run.err;
  }
}

// Writing over existing outputs on a full disk (here: files limited to 512 bytes)
// fails with exit 2, naming the file and the reason, and leaves the old
// files as they were with nothing beside them.
TEST(CliFileSafety, AFullDiskLeavesOldOutputsWhole) {
  const struct {
    std::string option, file, script, size;
  } cases[] = {
      {"-o", "a.bmp", kScene, "64x64"},
      {"-o", "a.png", kScene, "1000x1000"},  // a dark image packs tightly
      {"--frames", "f0.bmp", kScene + "save_frame();", "64x64"},
      {"--avi", "a.avi", kScene + "save_frame();", "64x64"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string old(300, 'o');
    const std::string file = dir.write(c.file, old);
    const std::string target = c.option == "--frames" ? dir.file("f%d.bmp") : file;
    const CliRun run = runInShell("ulimit -f 1; trap \"\" XFSZ;",
                                  "-s " + c.size + " " + c.option + " " + target + " -",
                                  "<" + dir.write("scene.ifs", c.script));
    EXPECT_EQ(run.status, 2) << c.file;
    EXPECT_NE(run.err.find("cannot write "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" file '" + file + "': File too large\n"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(file), old) << c.file;
    EXPECT_EQ(dir.entries(), 2) << c.file;
  }
}

// Listings into a full device fail instead of reporting success.
TEST(CliFileSafety, AFullStandardOutputIsAnError) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  const std::string script = dir.write("scene.ifs", kScene);
  for (const std::string& args :
       {std::string("--list-samples --samples \"" SAMPLES_DIR "/Zentarel 3d.samples\""),
        "--tokens " + script, "--dump-scene -s 8x8 " + script}) {
    const CliRun run = runInShell("", args, ">/dev/full");
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.err, "zentarel3d-cli: cannot write standard output: No space left on device\n")
        << args;
  }
}

// A camera placed by the build, after more output than a pipe holds: the
// program waits on the pipe, with the script read, until the test reads.
const std::string kSlowAutomaticCamera =
    "for (i = 0; i < 3000; i = i + 1) echo \"..........................................\";\n"
    "camera position(0, 1, -6) vertical(0, 1, 0) fov(40);\n"
    "set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
    "      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
    "build T;\n";

// --update-script with a script edited during the build, or without write
// permission, or with a mode of its own; the edit comes while the build waits.
TEST(CliFileSafety, UpdateScriptKeepsEditsAndModes) {
  const struct {
    mode_t mode;
    bool editDuringBuild;
    int status;
    bool rewritten;
    std::string message;
  } cases[] = {
      {0640, false, 0, true, ""},
      {0640, true, 0, false, "' changed during the build; the new camera is not written to it\n"},
      {0444, false, 2, false, "': the file is read-only (its owner may not write it)\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string script = dir.write("auto.ifs", kSlowAutomaticCamera);
    ASSERT_EQ(::chmod(script.c_str(), c.mode), 0);
    const std::string err = dir.file("err");
    const std::string edited = "// edited meanwhile\n" + kSlowAutomaticCamera;
    const int status = runAlongside({"-s", "16x12", "--update-script", script}, err,
                                    [&](pid_t, const std::string&) {
                                      if (c.editDuringBuild) dir.write("auto.ifs", edited);
                                    });
    EXPECT_EQ(status, c.status) << c.mode;
    const std::string now = readFile(script);
    EXPECT_EQ(now, c.editDuringBuild ? edited : now);
    EXPECT_EQ(now != kSlowAutomaticCamera && !c.editDuringBuild, c.rewritten) << c.mode;
    EXPECT_EQ(fs::status(script).permissions(), fs::perms(c.mode));
    const std::string errors = readFile(err);
    EXPECT_TRUE(c.message.empty() ? errors.empty() : errors.ends_with(script + c.message))
        << errors;
  }
}

}  // namespace
}  // namespace cli::testing
