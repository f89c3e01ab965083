#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "engine/camera_text.h"
#include "engine/frame_buffer.h"
#include "file_replace.h"
#include "script_update.h"
#include "shell/script_file.h"

namespace cli::testing {
namespace {

namespace fs = std::filesystem;

const std::string kAutomaticCamera =
    "// The camera aims itself at the tetrahedron.\n"
    "camera position(0, 1, -6) vertical(0, 1, 0) fov(40);\n"
    "light direction(1, -2, 1) color(0.8);\n"
    "set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
    "      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
    "build T;\n";

// The argument text of a camera part in the file, e.g. of "direction(".
std::string arguments(const std::string& text, const std::string& part) {
  const size_t first = text.find(part + "(") + part.size() + 1;
  return text.substr(first, text.find(')', first) - first);
}

ino_t inodeOf(const std::string& path) {
  struct stat status = {};
  ::stat(path.c_str(), &status);
  return status.st_ino;
}

TEST(CliUpdateScript, WritesTheAutomaticCameraIntoTheScriptOnce) {
  TempDir dir;
  const std::string script = dir.write("auto.ifs", kAutomaticCamera);
  EXPECT_EQ(runCli("-s 40x30 " + script).status, 0);
  EXPECT_EQ(readFile(script), kAutomaticCamera);  // not without the option
  const CliRun run = runCli("-s 40x30 --update-script " + script);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "camera changed:\nold position(0, 1, -6)\n");
  const std::string updated = readFile(script);
  const std::string position = arguments(updated, "position");
  EXPECT_NE(position, "0, 1, -6");
  // Only the camera's arguments changed; the line breaks are the file's own.
  std::string expected = kAutomaticCamera;
  expected.replace(expected.find("0, 1, -6)"), 9,
                   position + ") direction(" + arguments(updated, "direction") + ")");
  EXPECT_EQ(updated, expected);

  // The camera is now fixed: the next build changes nothing, and the file is
  // not even replaced.
  const ino_t inode = inodeOf(script);
  const CliRun again = runCli("-s 40x30 --update-script " + script);
  EXPECT_EQ(again.status + again.out.size(), 0u);
  EXPECT_EQ(inodeOf(script), inode);

  // Nor after a failed build, even one that placed the camera: from above,
  // it looks along its vertical.
  std::string fromAbove = kAutomaticCamera;
  fromAbove.replace(fromAbove.find("0, 1, -6"), 8, "0, 6, 0");
  const std::string failing = dir.write("failing.ifs", fromAbove);
  const CliRun failed = runCli("-s 40x30 --update-script " + failing);
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "camera changed:\nold position(0, 6, 0)\nInvalid vertical direction\n");
  EXPECT_EQ(readFile(failing), fromAbove);
}

// The build's camera edit carried back into the file's bytes: changed
// arguments in the document's form, everything else as the file writes it.
TEST(ScriptUpdate, CameraEditKeepsTheFilesLineBreaks) {
  const struct {
    std::string file, position;
    const char* direction;  // none: a zoom moves the position only
    std::string expected;
  } cases[] = {
      {"// camera here\nx = 1;\ncamera position(0, 1,\n -6) vertical(0,1,0);\n", "1,2,3", "0,0,1",
       "// camera here\nx = 1;\ncamera position(1,2,3) direction(0,0,1) vertical(0,1,0);\n"},
      {"a = 2;\r\ncamera position(0,0,-5)\r\n  direction(1,\r\n 0, 0) vertical(0,1,0);", "1,2,3",
       "0,0,1", "a = 2;\r\ncamera position(1,2,3)\r\n  direction(0,0,1) vertical(0,1,0);"},
      {"camera position(0,0,-5) direction(0,\n0,1)\nvertical(0,1,0);\n", "0,0,-2", nullptr,
       "camera position(0,0,-2) direction(0,\n0,1)\nvertical(0,1,0);\n"},
      {"camera position(0,\n0,-5) vertical(0,1,0);\n", "0,\r\n0,-5", "1,0,0",
       "camera position(0,\n0,-5) direction(1,0,0) vertical(0,1,0);\n"},
      {"camera position(1,2,3)\ndirection(0,0,1) vertical(0,1,0);\n", "1,2,3", "0,0,1",
       "camera position(1,2,3)\ndirection(0,0,1) vertical(0,1,0);\n"},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.file);
    engine::FrameBuffer frame;
    frame.scriptText = shell::readScriptText(in);
    const std::string before = frame.scriptText, direction = c.direction ? c.direction : "";
    std::string oldPosition, oldDirection;
    engine::replaceCameraArguments(frame, c.position, c.direction ? &direction : nullptr,
                                   oldPosition, oldDirection);
    EXPECT_EQ(carryCameraEdit(c.file, before, frame.scriptText), c.expected) << c.file;
  }
}

// The content is replaced through a link, with the permissions kept; a
// failure leaves everything as it was, without a temporary file.
TEST(FileReplace, ReplacesTheContentOnlyAndLeavesNothingBehind) {
  TempDir dir;
  const std::string target = dir.write("real.ifs", "old\n");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  fs::create_symlink(target, dir.file("link.ifs"));
  std::string error;
  ASSERT_TRUE(replaceFileContent(dir.file("link.ifs"), "new\n", error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir.file("link.ifs")));
  EXPECT_EQ(readFile(target), "new\n");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  fs::create_directory(dir.file("sub"));
  for (const std::string& path :
       {dir.file("missing.ifs"), dir.file("no/such.ifs"), dir.file("sub")}) {
    error.clear();
    EXPECT_FALSE(replaceFileContent(path, "text", error)) << path;
    EXPECT_FALSE(error.empty()) << path;
  }
  EXPECT_TRUE(fs::is_directory(dir.file("sub")));
  EXPECT_EQ(dir.entries(), 3);
}

}  // namespace
}  // namespace cli::testing
