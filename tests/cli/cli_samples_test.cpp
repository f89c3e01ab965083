#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

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

TEST(CliSamples, ListAndBuildBySampleNumber) {
  TempDir dir;
  const std::string file = dir.write("test.samples", kSamples), samples = " --samples " + file;
  const struct {
    std::string args;
    int status;
    std::string out, err;
  } cases[] = {
      {"--list-samples" + samples, 0,
       "0\t\tEcho\n1\tClassics / Deep\tLine\n2\tClassics\tEcho\n3\t\tLast\n", ""},
      {"--sample 2" + samples, 3, "classic echo\n", ""},
      {"--sample 3" + samples, 3, "42\n", ""},
      {"--sample 4" + samples, 2, "",
       "zentarel3d-cli: no sample 4: '" + file + "' has 4 samples (see --list-samples)\n"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(c.args);
    EXPECT_EQ(run.status, c.status) << c.args;
    EXPECT_EQ(run.out, c.out) << c.args;
    EXPECT_EQ(run.err, c.err) << c.args;
  }
  const CliRun line = runCli("-v -s 16x8 --sample 1" + samples);
  EXPECT_EQ(line.status, 0);
  EXPECT_TRUE(line.err.starts_with("building: Line\nfinished: ")) << line.err;
}

}  // namespace
}  // namespace cli::testing
