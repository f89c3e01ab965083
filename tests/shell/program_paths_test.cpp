#include "shell/program_paths.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

TEST(ProgramPaths, DirectoryOfAPath) {
  EXPECT_EQ(directoryOf("/opt/zentarel/bin/zentarel3d"), fs::path("/opt/zentarel/bin"));
  EXPECT_EQ(directoryOf("zentarel3d"), fs::path("."));
}

TEST(ProgramPaths, FilesLieBesideTheRunningExecutable) {
  const fs::path directory = executableDirectory();
  EXPECT_TRUE(fs::exists(directory / "shell_tests")) << directory;
  EXPECT_EQ(samplesFilePath(), directory / "Zentarel 3d.samples");
}

TEST(ProgramPaths, HelpFallsBackToEnglishWithoutTheRussianFile) {
  const fs::path directory = executableDirectory();
  EXPECT_EQ(helpFilePath(false), directory / "Zentarel 3d.html");
  if (!fs::exists(directory / "Zentarel 3d.ru.html")) {
    EXPECT_EQ(helpFilePath(true), directory / "Zentarel 3d.html");
  }
}

TEST(ProgramPaths, RuntimeFilesBesideTheProgramFirstThenInTheInstalledTree) {
  struct Case {
    bool beside, installed;
    const char* expected;  // relative to the tree's root
  };
  const Case cases[] = {
      {true, true, "bin/f.txt"},
      {false, true, "share/zentarel3d/f.txt"},
      {false, false, "bin/f.txt"},
  };
  for (const Case& c : cases) {
    const testing::TempDir tree;
    fs::create_directories(tree.path() / "bin");
    fs::create_directories(tree.path() / "share/zentarel3d");
    if (c.beside) tree.write("bin/f.txt", "");
    if (c.installed) tree.write("share/zentarel3d/f.txt", "");
    EXPECT_EQ(runtimeFilePath(tree.path() / "bin", "f.txt"), tree.path() / c.expected)
        << c.beside << c.installed;
  }
}

}  // namespace
}  // namespace shell
