#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

// The camera aims itself at the tetrahedron. The file's line ends are not
// the "\r\n" that a build reads, and its camera statement spans two lines.
const std::string kAutomaticCamera =
    "camera position(0, 1, -6)\n  vertical(0, 1, 0) fov(40);\n"
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

}  // namespace
}  // namespace cli::testing
