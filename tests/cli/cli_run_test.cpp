#include <csignal>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

std::string usage(const std::string& message) {
  return "zentarel3d-cli: " + message + " (see --help)\n";
}

std::string cannotWrite(const std::string& file) {
  return "zentarel3d-cli: cannot write " + file + ": No such file or directory\n";
}

// Exit status 0 built, 1 failed, 2 unusable command line, input or output,
// 3 nothing to draw; script output on standard output, errors on standard
// error, usage errors as one line.
TEST(Cli, ExitStatusAndOutputs) {
  // The codecs after the first depend on the FFmpeg build.
  const std::string version = runCli("--version").out;
  const size_t codecs = version.find("Video codecs: ");
  ASSERT_NE(codecs, std::string::npos) << version;
  const std::string aviCodecs =
      version.substr(codecs + 14, version.find('\n', codecs) - codecs - 14);
  const std::string needsRender = usage(
      "-o, --depth, --avi, --video, --frames and --update-script need a render, not "
      "--tokens or --dump-scene");
  const struct {
    std::string args, input;
    int status;
    std::string out, err;
  } cases[] = {
      {"", "", 2, "", usage("no script given")},
      {"--frobnicate a", "", 2, "", usage("unknown option '--frobnicate'")},
      {"a b", "", 2, "", usage("only one script can be built, not 'a' and 'b'")},
      {"a --seed", "", 2, "", usage("option --seed needs a value")},
      {"--size 0x480 a", "", 2, "",
       usage("--size needs WIDTHxHEIGHT (1 to 65535 each), not '0x480'")},
      {"-o a.jpg a", "", 2, "", usage("-o needs a file name ending in .bmp or .png, not 'a.jpg'")},
      {"--avi a.avi --quality 50 a", "", 2, "", usage("codec rawvideo takes no --quality")},
      {"--dump-scene -o f.png a", "", 2, "", needsRender},
      {"--tokens --depth=d.exr a", "", 2, "", needsRender},
      {"--depth d.png a", "", 2, "",
       usage("--depth needs a file name ending in .exr, not 'd.png'")},
      {"--part 0/2 -o a.png --depth d.exr a", "", 2, "",
       usage("--part renders one band of a still image: no --frame-range, --avi, --video, "
             "--frames, --depth or --update-script")},
      {"--count-frames --depth d.exr a", "", 2, "",
       usage("--count-frames renders nothing: no -o, --depth, --avi, --video, --frames, "
             "--frame-range or --part")},
      // Outputs that cannot be created stop the run before the script runs.
      {"--depth /nonexistent/d.exr -", "echo 1;", 2, "",
       cannotWrite("depth file '/nonexistent/d.exr'")},
      {"-o /nonexistent/a.png -", "echo 1;", 2, "", cannotWrite("image file '/nonexistent/a.png'")},
      {"--avi /nonexistent/a.avi -", "echo 1;", 2, "",
       cannotWrite("video file '/nonexistent/a.avi'")},
      {"--frames /nonexistent/f%d.png -", "echo 1;", 2, "",
       cannotWrite("image file '/nonexistent/f0.png'")},
      {"--video a.mov a", "", 2, "",
       usage("--video needs a file name ending in .mp4, .mkv, .webm or .avi, not 'a.mov'")},
      {"--avi a.avi --video=b.mp4 a", "", 2, "", usage("--avi and --video exclude each other")},
      {"--video a.avi --codec libx264 a", "", 2, "",
       usage("unknown codec 'libx264' for .avi files; available: " + aviCodecs)},
      {"--quality 50 a", "", 2, "", usage("--codec and --quality need --avi or --video")},
      {"/nonexistent/scene.ifs", "", 2, "",
       "zentarel3d-cli: cannot read '/nonexistent/scene.ifs': No such file or directory\n"},
      {"-", "x = 6;\necho \"x*7=\", x * 7;\n", 3, "x*7=42\n", ""},
      {"-", "x++; light color(1) position(0,0,0);", 1,
       "warning: line 1: variable 'x' is undefined\n", "error: camera statement not found\n"},
      {"--size 64x48 " SAMPLES_DIR "/demo.ifs", "", 0, "", ""},
      // GNU forms, and variables defined on the command line.
      {"--size=8x8 -D n=5 -Dm=-2.5 --define=k=1e3 -D 'name=\"a b\"' -D name2='\"\"' -- -",
       "echo name, n, \" \", m, \" \", k, name2;", 3, "a b5 -2.5 1000\n", ""},
      {"-q -", "echo \"hidden\"; x++; light color(1) position(0,0,0);", 1, "",
       "error: camera statement not found\n"},
      {"-- -x.ifs", "", 2, "", "zentarel3d-cli: cannot read '-x.ifs': No such file or directory\n"},
      {"-D camera=1 a", "", 2, "",
       usage("-D needs NAME=VALUE with NAME a variable name (not a keyword), not 'camera=1'")},
      {"-D n=abc a", "", 2, "",
       usage("-D n needs a number or a string in double quotes, not 'abc'")},
      // The render error after the build.
      {"-s 32x24 -",
       "echo \"first\";\n"
       "camera position(0, 0, -5) direction(0, 0, 0) vertical(0, 1, 0);\n"
       "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A; save_frame();",
       1, "first\nInvalid direction\n", ""},
      // The script is read as a document reads it: every line ends in "\r\n".
      {"--tokens -", "x = \"a\tb\";\nr := 2;\ny = r;", 0,
       "1\t45\tx\n1\t38\t=\n1\t18\ta\\tb\n1\t8\t;\n3\t45\ty\n3\t38\t=\n2\t44\t2\n3\t8\t;\n4\t1\t\n",
       ""},
      // A scene dump prepares the sets without a camera, and prints only a
      // failed preparation's error.
      {"--dump-scene -", "set A = A; build A;", 1, "No maps found\n", ""},
      {"--dump-scene -", "set A = 0.5 B; build A;", 1, "",
       "error: set 'B' is used but not defined\n"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(c.args, c.input);
    EXPECT_EQ(run.status, c.status) << c.args << " < " << c.input;
    EXPECT_EQ(run.out, c.out) << c.args << " < " << c.input;
    EXPECT_EQ(run.err, c.err) << c.args << " < " << c.input;
  }
  EXPECT_TRUE(version.starts_with("zentarel3d-cli 1.")) << version;
  EXPECT_NE(version.find("\nImage formats: .bmp, .png\nVideo codecs: rawvideo, "),
            std::string::npos);
  EXPECT_NE(runCli("-vh").out.find("Usage: zentarel3d-cli"), std::string::npos);
}

TEST(Cli, InterruptCancelsTheBuild) {
  TempDir dir;
  const std::string script = dir.write("endless.ifs", "echo \"started\";\nwhile (1) n++;\n");
  // Once the script has spoken, the build (and its Ctrl+C handler) is running.
  std::string seen;
  EXPECT_EQ(runAlongside({script}, dir.file("err"),
                         [&seen](pid_t pid, const std::string& line) {
                           seen = line;
                           kill(pid, SIGINT);
                         }),
            1);
  EXPECT_EQ(seen, "started\n");
}

// The sets after preparation with their members' weights, colour keys and
// selection weights; the bounds must be there, but are left out of the
// comparison. The unused set goes.
TEST(DumpScene, SetsAndMembersAfterPreparation) {
  const CliRun run = runCli("--dump-scene -",
                            "set A = weight(0.25) scale(0.5) A | 3 + translate(1, 0, 0) 0.5 A "
                            "{2.5};\nset Unused = 0.3 Unused;\nbuild A;");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(std::regex_replace(run.out, std::regex(" centre \\S+ \\S+ \\S+ radius \\S+"), ""),
            "scene affine sets 2 maps 5\nset 0 level 2 members 1\n"
            "  member target 1 weight -1 key 0 selection 1\nset 1 level 1 members 2\n"
            "  member target 1 weight -1 key 0 selection 2.5\n"
            "  member target 1 weight 0.25 key 3 selection 1\n");
}

}  // namespace
}  // namespace cli::testing
