#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "../engine/attractor_scripts.h"
#include "cli_runner.h"

namespace cli::testing {
namespace {

using engine::testing::kSolidCube;

// The triangles that a binary STL file announces, when its size agrees.
long stlTriangles(const std::string& bytes) {
  if (bytes.size() < 84) return -1;
  uint32_t count = 0;
  std::memcpy(&count, bytes.data() + 80, 4);
  return bytes.size() == 84 + 50 * size_t(count) ? long(count) : -1;
}

TEST(CliMesh, RefusesOptionsThatMakeNoSense) {
  const struct {
    const char* args;
    const char* message;
  } cases[] = {
      {"--mesh a.xyz s.ifs",
       "--mesh needs a file name ending in .stl, .ply, .obj, .glb, .3mf, not 'a.xyz'"},
      {"--vdb a.stl s.ifs", "--vdb needs a file name ending in .vdb, not 'a.stl'"},
      {"--mesh a.stl --voxels 0 s.ifs", "--voxels needs a number from 1 to 16384, not '0'"},
      {"--voxels=64 s.ifs", "--voxels needs --mesh or --vdb"},
      {"--mesh a.stl --mesh-scale=-1 s.ifs", "--mesh-scale needs a number above 0, not '-1'"},
      {"--mesh a.stl --mesh-adaptivity 2 s.ifs",
       "--mesh-adaptivity needs a number from 0 to 1, not '2'"},
      {"--vdb a.vdb --mesh-scale 2 s.ifs", "--mesh-scale and --mesh-adaptivity need --mesh"},
      {"--mesh a.stl -o a.png s.ifs", "--mesh and --vdb take the place of the picture"},
      {"--vdb a.vdb --dump-scene s.ifs", "--mesh and --vdb take the place of the picture"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_TRUE(run.err.starts_with(std::string("zentarel3d-cli: ") + c.message)) << run.err;
  }
}

// No picture is written; the mesh and the volume are, with the figures
// that -v reports.
TEST(CliMesh, WritesTheMeshAndTheVolumeInsteadOfThePicture) {
  TempDir dir;
  const CliRun run =
      runCli("-v --voxels=16 --mesh=" + dir.file("c.stl") + " --vdb " + dir.file("c.vdb") +
             " --mesh-scale 10 " + dir.write("cube.ifs", kSolidCube));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("exported: 4096 cells, "), std::string::npos) << run.err;
  EXPECT_GT(stlTriangles(readFile(dir.file("c.stl"))), 0);
  EXPECT_FALSE(readFile(dir.file("c.vdb")).empty());
  EXPECT_EQ(dir.entries(), 3);
}

TEST(CliMesh, NumbersTheExportsOfSavedFrames) {
  TempDir dir;
  const std::string script =
      dir.write("frames.ifs", kSolidCube + "save_frame();\n" + kSolidCube + "save_frame();\n");
  const CliRun unnumbered = runCli("--mesh " + dir.file("f.obj") + " " + script);
  EXPECT_EQ(unnumbered.status, 2);
  EXPECT_NE(unnumbered.err.find("needs a number field for them, such as part%03d.obj"),
            std::string::npos)
      << unnumbered.err;
  const CliRun run = runCli("--voxels 8 --mesh " + dir.file("f%02d.stl") + " " + script);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_GT(stlTriangles(readFile(dir.file("f00.stl"))), 0);
  EXPECT_GT(stlTriangles(readFile(dir.file("f01.stl"))), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.file("f02.stl")));
  const CliRun second =
      runCli("--voxels 8 --frame-range 1- --mesh " + dir.file("g%d.stl") + " " + script);
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("g0.stl")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("g1.stl")));
}

TEST(CliMesh, FilesThatCannotBeWrittenStopTheRunBeforeTheScript) {
  TempDir dir;
  const std::string script = dir.write("cube.ifs", "echo \"ran\";\n" + kSolidCube);
  for (const std::string option : {"--mesh ", "--vdb "}) {
    const std::string file = dir.file(option == "--mesh " ? "no/a.stl" : "no/a.vdb");
    const CliRun run = runCli(option + file + " " + script);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("cannot write " + std::string(option == "--mesh " ? "mesh" : "volume") +
                           " file '" + file + "'"),
              std::string::npos)
        << run.err;
  }
}

TEST(CliMesh, InterruptStopsTheExportWithoutAFile) {
  TempDir dir;
  const std::string script = dir.write("cube.ifs", "echo \"started\";\n" + kSolidCube);
  std::string seen;
  EXPECT_EQ(
      runAlongside({"--voxels", "16384", "--mesh", dir.file("big.stl"), script}, dir.file("err"),
                   [&seen](pid_t pid, const std::string& line) {
                     seen = line;
                     kill(pid, SIGINT);
                   }),
      1);
  EXPECT_EQ(seen, "started\n");
  EXPECT_EQ(dir.entries(), 2);  // the script and the error output, no mesh
}

}  // namespace
}  // namespace cli::testing
