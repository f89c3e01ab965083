#include <filesystem>

#include <gtest/gtest.h>

#include "shell/atomic_file.h"
#include "test_files.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A replaced file keeps its permission bits; a link is followed. (Existing
// files under names outside the ANSI code page: the runner under Wine.)
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

}  // namespace
}  // namespace shell
