#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "shell/atomic_file.h"
#include "shell/platform.h"
#include "test_files.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A replaced file keeps its permission bits; a link is followed.
TEST(AtomicFile, ReplacesTheFileALinkPointsToAndKeepsItsMode) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no permission bits, and links need privileges";
#endif
  TempDir dir;
  const std::string target = dir.write("real.ifs", "old\n");
  fs::permissions(target, fs::perms(0640));
  const fs::path link = dir.path() / "link.ifs";
  fs::create_symlink(target, link);
  EXPECT_EQ(writeFileAtomically(link, "new\n"), "");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testing::readFile(target), "new\n");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  EXPECT_EQ(dir.entries(), 2);  // no temporary file left
}

// An existing file is replaced (a plain rename fails over one on Windows),
// also under names that no ANSI code page holds.
TEST(AtomicFile, ReplacesAnExistingFileUnderAnyName) {
  for (const char* name : {"plain.ifs", "сцена.ifs", "场景 ελ.ifs"}) {
    TempDir dir;
    const fs::path target = dir.path() / pathFromUtf8(name);
    std::ofstream(target, std::ios::binary) << "old\n";
    EXPECT_EQ(writeFileAtomically(target, "new\r\n"), "") << name;
    EXPECT_EQ(contentOf(target), "new\r\n") << name;
    EXPECT_EQ(dir.entries(), 1) << name;  // no temporary file left
  }
}

}  // namespace
}  // namespace shell
