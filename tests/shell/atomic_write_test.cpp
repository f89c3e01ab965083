#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "fsize_limit.h"
#include "shell/atomic_file.h"
#include "shell/limited_read.h"
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

// Whatever fails, an existing file keeps its content and no temporary file
// stays behind.
TEST(AtomicFile, AFailureLeavesTheOldFileAndNothingElse) {
  TempDir dir;
  const std::string old(300, 'o');
  const std::string existing = dir.write("scene.ifs", old);
  fs::create_directory(dir.path() / "sub");
  const struct {
    fs::path path;
    std::string bytes;
    std::string reason;
  } cases[] = {
      {dir.path() / "no" / "such.ifs", "text", "No such file or directory"},
      {dir.path() / "sub", "text", "Is a directory"},
      {existing, std::string(100000, 'n'), "File too large"},  // the disk fills up
  };
  for (const auto& c : cases) {
    const testing::FileSizeLimit limit(4096);
    EXPECT_EQ(writeFileAtomically(c.path, c.bytes), c.reason) << c.path;
  }
  EXPECT_EQ(testing::readFile(existing), old);
  EXPECT_TRUE(fs::is_directory(dir.path() / "sub"));
  EXPECT_EQ(dir.entries(), 2);
  EXPECT_EQ(checkWritable(dir.path() / "no" / "such.ifs"), "No such file or directory");
  EXPECT_EQ(checkWritable(dir.path() / "new.ifs"), "");
  EXPECT_EQ(dir.entries(), 2);
}

// Endless inputs stop at the limit; an input of exactly the limit is whole.
TEST(LimitedRead, StopsOneBytePastTheLimit) {
  TempDir dir;
  const struct {
    std::string path;
    bool tooLarge;
    std::string error;
  } cases[] = {
      {dir.write("full.ifs", std::string(1000, 'x')), false, ""},
      {dir.write("over.ifs", std::string(1001, 'x')), true, ""},
      {(dir.path() / "missing.ifs").string(), false, "No such file or directory"},
      {dir.path().string(), false, "Is a directory"},
  };
  for (const auto& c : cases) {
    const LimitedRead read = readFileLimited(c.path, 1000);
    EXPECT_EQ(read.tooLarge, c.tooLarge) << c.path;
    EXPECT_EQ(read.error, c.error) << c.path;
    EXPECT_EQ(read.bytes.size(), read.ok() ? 1000u : 0u) << c.path;
  }
}

}  // namespace
}  // namespace shell
