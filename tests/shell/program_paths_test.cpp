#include "shell/program_paths.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

namespace fs = std::filesystem;

// The samples and help files lie beside the running executable; without the
// Russian help the English one is used.
TEST(ProgramPaths, FilesLieBesideTheRunningExecutable) {
  EXPECT_EQ(directoryOf("/opt/zentarel/bin/zentarel3d"), fs::path("/opt/zentarel/bin"));
  EXPECT_EQ(directoryOf("zentarel3d"), fs::path("."));
  const fs::path directory = executableDirectory();
  EXPECT_TRUE(fs::exists(directory / "shell_tests")) << directory;
  EXPECT_EQ(samplesFilePath(), directory / "Zentarel 3d.samples");
  EXPECT_EQ(helpFilePath(false), directory / "Zentarel 3d.html");
  if (!fs::exists(directory / "Zentarel 3d.ru.html")) {
    EXPECT_EQ(helpFilePath(true), directory / "Zentarel 3d.html");
  }
}

}  // namespace
}  // namespace shell
