#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "test_files.h"

namespace cli::testing {
namespace {

using shell::testing::TempDir;

// Two samples of the same name in different places, one nested two levels
// deep, one in the short form.
const std::string kSamples =
    "[rem] test samples\n"
    "[sample=\"Echo\"]\n"
    "\techo \"top echo\";\n"
    "[submenu=\"Classics\"]\n"
    "\t[submenu=\"Deep\"]\n"
    "\t\t[sample=\"Line\"]\n"
    "\t\tcamera position(0, 0, -5) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "\t\tset L = 0.5 L + 0.5 translate(1, 0, 0) L; build L;\n"
    "\t[/submenu]\n"
    "\t[separator]\n"
    "\t[sample=\"Echo\"]\n"
    "\t\techo \"classic echo\";\n"
    "[/submenu]\n"
    "sample[Last]\n"
    "x = 6; echo x * 7;\n";

TEST(CliSamples, ListsOrdinalSubmenusAndName) {
  TempDir dir;
  const CliRun run = runCli("--list-samples --samples " + dir.write("test.samples", kSamples));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "0\t\tEcho\n"
            "1\tClassics / Deep\tLine\n"
            "2\tClassics\tEcho\n"
            "3\t\tLast\n");
  EXPECT_EQ(run.err, "");
}

TEST(CliSamples, BuildsTheSampleOfThatNumber) {
  TempDir dir;
  const std::string samples = dir.write("test.samples", kSamples);
  const CliRun echo = runCli("--sample 2 --samples " + samples);
  EXPECT_EQ(echo.status, 3);
  EXPECT_EQ(echo.out, "classic echo\n");
  EXPECT_EQ(runCli("--sample 3 --samples " + samples).out, "42\n");
  const CliRun line = runCli("-v -s 16x8 --sample 1 --samples " + samples);
  EXPECT_EQ(line.status, 0);
  EXPECT_EQ(line.err.rfind("building: Line\nfinished: ", 0), 0u) << line.err;
}

TEST(CliSamples, MissingSampleOrFileExitsWithTwo) {
  TempDir dir;
  const std::string samples = dir.write("test.samples", kSamples);
  const CliRun beyond = runCli("--sample 4 --samples " + samples);
  EXPECT_EQ(beyond.status, 2);
  EXPECT_EQ(beyond.out, "");
  EXPECT_EQ(beyond.err,
            "zentarel3d-cli: no sample 4: '" + samples + "' has 4 samples (see --list-samples)\n");
  const std::string missing = (dir.path() / "missing.samples").string();
  for (const std::string& args :
       {"--list-samples --samples " + missing, "--sample 0 --samples " + missing,
        "--sample 0 --samples " + dir.path().string()}) {
    const CliRun run = runCli(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.err.rfind("zentarel3d-cli: cannot read samples file '", 0), 0u) << run.err;
  }
}

}  // namespace
}  // namespace cli::testing
