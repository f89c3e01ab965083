#include <cmath>
#include <cstdio>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

// The --dump-scene output of a script without the bounds of the sets.
std::string structureOf(const std::string& script) {
  const CliRun run = runCli("--dump-scene -", script);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  return std::regex_replace(run.out, std::regex(" centre [^\n]*"), "");
}

constexpr const char* kMember = "  member target 1 weight -1 key 0 selection 1\n";

TEST(DumpScene, SetsAndMembersAfterPreparation) {
  const std::string one = std::string(kMember), two = one + kMember;
  const struct {
    const char* script;
    std::string structure;
  } cases[] = {
      // Compositions collapse into members of the named set; unused sets go.
      {"set A = scale(0.5) rotate(30) A + translate(1, 0, 0) scale(0.5) A;\n"
       "set Unused = 0.3 Unused;\nbuild A;",
       "scene affine sets 2 maps 5\nset 0 level 2 members 1\n" + one + "set 1 level 1 members 2\n" +
           two},
      {"echo \"hello\"; set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;",
       "hello\nscene affine sets 2 maps 3\nset 0 level 2 members 1\n" + one +
           "set 1 level 1 members 2\n" + two},
      {"set A = weight(0.25) scale(0.5) A | 3 + translate(1, 0, 0) 0.5 A {2.5};\nbuild A;",
       "scene affine sets 2 maps 4\nset 0 level 2 members 1\n" + one +
           "set 1 level 1 members 2\n"
           "  member target 1 weight -1 key 0 selection 2.5\n"
           "  member target 1 weight 0.25 key 3 selection 1\n"},
      // The extended set holds the old one and its image.
      {"set A = 0.5 A + translate(1, 0, 0) 0.5 A;\nset A += translate(0, 1, 0) 0.5 A;\nbuild A;",
       "scene affine sets 3 maps 4\nset 0 level 3 members 1\n" + one +
           "set 1 level 2 members 2\n"
           "  member target 2 weight -1 key 0 selection 1\n"
           "  member target 2 weight -1 key 0 selection 1\n"
           "set 2 level 1 members 2\n"
           "  member target 2 weight -1 key 0 selection 1\n"
           "  member target 2 weight -1 key 0 selection 1\n"},
      // Names after clearSets denote fresh sets.
      {"set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;\nclearSets;\n"
       "set A = 0.3 A + translate(0, 1, 0) 0.3 A; build A;",
       "scene affine sets 2 maps 3\nset 0 level 2 members 1\n" + one + "set 1 level 1 members 2\n" +
           two},
      {"set A = 0.5 A + translate(1, 0, 0) 0.5 A;\nset B = 0.4 B + translate(0, 0, 1) 0.4 B;\n"
       "build A; build translate(3, 0, 0) B;",
       "scene affine sets 3 maps 6\nset 0 level 3 members 2\n"
       "  member target 2 weight -1 key 0 selection 1\n" +
           one + "set 1 level 2 members 2\n" + two +
           "set 2 level 1 members 2\n"
           "  member target 2 weight -1 key 0 selection 1\n"
           "  member target 2 weight -1 key 0 selection 1\n"},
      {"set A = 0.5 A + translate(1, 0, 0) 0.5 A + inverse(0, 0, 5, 2) 0.5 A; build A;",
       "scene conformal sets 2 maps 4\nset 0 level 2 members 1\n" + one +
           "set 1 level 1 members 3\n" + two + kMember},
  };
  for (const auto& c : cases) EXPECT_EQ(structureOf(c.script), c.structure) << c.script;
}

TEST(DumpScene, BoundsOfATetrahedron) {
  const CliRun run = runCli("--dump-scene -",
                            "half := scale(0.5);\n"
                            "set T = translate( 0.5,  0.5,  0.5) half T\n"
                            "      + translate( 0.5, -0.5, -0.5) half T\n"
                            "      + translate(-0.5,  0.5, -0.5) half T\n"
                            "      + translate(-0.5, -0.5,  0.5) half T;\n"
                            "build T; color(1, 0.78, 0.42) shininess(20);\n");
  double x, y, z, radius;
  const size_t line = run.out.find("set 1 ");
  ASSERT_NE(line, std::string::npos) << run.out;
  ASSERT_EQ(
      std::sscanf(run.out.c_str() + line, "set 1 level %*d members 4 centre %lf %lf %lf radius %lf",
                  &x, &y, &z, &radius),
      4)
      << run.out;
  // The corners (+-1, +-1, +-1) lie sqrt(3) from the centre.
  EXPECT_NEAR(std::hypot(x, y, z), 0, 1e-6);
  EXPECT_GE(radius, std::sqrt(3.0) - 1e-9);
  EXPECT_LE(radius, 1.1 * std::sqrt(3.0));
}

}  // namespace
}  // namespace cli::testing
