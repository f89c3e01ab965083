// Scripts and sizes that a careless or hostile user may give: each must end
// with a clear outcome, never with a false success.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "test_files.h"

namespace cli::testing {
namespace {

using shell::testing::TempDir;

const std::string kTetrahedron =
    "light direction(1, -2, 1) color(0.8);\n"
    "set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
    "      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
    "build T;\n";

const std::string kFixedCamera =
    "camera position(0, 0, -10) direction(0, 0, 1) vertical(0, 1, 0);\n";

// A selection count above the set's members used to end with exit 1 and not
// a word.
TEST(CliHostileCore, AFrameThatCannotBeTracedFailsWithAReason) {
  TempDir dir;
  const std::string image = dir.file("out.png");
  const std::string script = dir.write(
      "hostile.ifs",
      kFixedCamera + "set S = (0.5 S + 0.5 translate(1, 0, 0) S) % 3; build S;\n" + kTetrahedron);
  const CliRun run = runCli("-s 8x8 -o " + image + " " + script);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Selection count larger than the set's members\n");
  EXPECT_FALSE(std::filesystem::exists(image));
}

TEST(CliHostileCore, UpdateScriptEditsTheCameraStatementThatRan) {
  const struct {
    std::string before, ran, after;  // the text around the camera statement that ran
    std::string oldPosition;
  } cases[] = {
      {"if (0) camera position(0, 0, -7) vertical(0, 1, 0);\nelse ",
       "camera position(0, 0, -5) vertical(0, 1, 0);\n", "", "0, 0, -5"},
      {"echo \")\";\n", "camera position(0, 1, -6) vertical(0, 1, 0) fov(40);\n", "", "0, 1, -6"},
      {"", "camera position(0, 1, -6) vertical(0, 1, 0);\n",
       "if (0) camera position(0, 0, -7) vertical(0, 1, 0);\n", "0, 1, -6"},
      // A statement over two lines, in a file whose lines do not end in "\r\n".
      {"", "camera position(0, 1, -6)\n  vertical(0, 1, 0) fov(40);\n", "", "0, 1, -6"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string script = dir.write("camera.ifs", c.before + c.ran + c.after + kTetrahedron);
    const CliRun run = runCli("-s 20x20 --update-script " + script);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.ends_with("camera changed:\nold position(" + c.oldPosition + ")\n"))
        << run.out;
    // Only the statement that ran holds the camera the build placed.
    const std::string updated = readFile(script);
    ASSERT_EQ(updated.compare(0, c.before.size(), c.before), 0) << updated;
    const std::string ran = updated.substr(c.before.size());
    EXPECT_EQ(ran.find("position(" + c.oldPosition + ")"), std::string::npos) << updated;
    EXPECT_NE(ran.find("direction("), std::string::npos) << updated;
    EXPECT_NE(ran.find(c.after + kTetrahedron), std::string::npos) << updated;
  }
}

// A fixed camera, or a build that fails after placing one (from above, it
// looks along its vertical), leaves the file as it was, not even replaced;
// without -o no image appears beside it.
TEST(CliHostileCore, UpdateScriptLeavesTheFileWithoutANewCamera) {
  const struct {
    std::string camera;
    int status;
  } cases[] = {{kFixedCamera, 0}, {"camera position(0, 6, 0) vertical(0, 1, 0);\n", 1}};
  for (const auto& c : cases) {
    TempDir dir;
    const std::string script = dir.write("camera.ifs", c.camera + kTetrahedron);
    struct stat before = {}, after = {};
    ::stat(script.c_str(), &before);
    EXPECT_EQ(runCli("-s 20x20 --update-script " + script).status, c.status) << c.camera;
    ::stat(script.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino) << c.camera;
    EXPECT_EQ(readFile(script), c.camera + kTetrahedron);
    EXPECT_EQ(dir.entries(), 1) << c.camera;
  }
}

}  // namespace
}  // namespace cli::testing
