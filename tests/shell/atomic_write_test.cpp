#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "shell/atomic_file.h"
#include "test_files.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A replaced file keeps its permission bits; a link is followed.
TEST(AtomicFile, ReplacesTheFileALinkPointsToAndKeepsItsMode) {
  TempDir dir;
  const std::string target = dir.write("real.ifs", "old\n");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
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
