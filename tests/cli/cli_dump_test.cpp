#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

// The sets after preparation with their members' weights, colour keys and
// selection weights; the bounds must be there, but are left out of the
// comparison. The unused set goes.
TEST(DumpScene, SetsAndMembersAfterPreparation) {
  const CliRun run = runCli("--dump-scene -",
                            "set A = weight(0.25) scale(0.5) A | 3 + translate(1, 0, 0) 0.5 A "
                            "{2.5};\nset Unused = 0.3 Unused;\nbuild A;");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(std::regex_replace(run.out, std::regex(" centre \\S+ \\S+ \\S+ radius \\S+"), ""),
            "scene affine sets 2 maps 5\nset 0 level 2 members 1\n"
            "  member target 1 weight -1 key 0 selection 1\nset 1 level 1 members 2\n"
            "  member target 1 weight -1 key 0 selection 2.5\n"
            "  member target 1 weight 0.25 key 3 selection 1\n");
}

}  // namespace
}  // namespace cli::testing
