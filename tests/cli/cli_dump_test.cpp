#include <regex>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "engine/fractal.h"
#include "scene_dump.h"

namespace cli::testing {
namespace {

// The --dump-scene output of a script without the bounds of the sets.
std::string structureOf(const std::string& script) {
  const CliRun run = runCli("--dump-scene -", script);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  return std::regex_replace(run.out, std::regex(" centre [^\n]*"), "");
}

TEST(DumpScene, SetsAndMembersAfterPreparation) {
  const std::string m1 = "  member target 1 weight -1 key 0 selection 1\n";
  const std::string m2 = "  member target 2 weight -1 key 0 selection 1\n";
  const struct {
    const char* script;
    std::string structure;
  } cases[] = {
      // Compositions collapse into members of the named set; unused sets go.
      {"set A = scale(0.5) rotate(30) A + translate(1, 0, 0) scale(0.5) A;\n"
       "set Unused = 0.3 Unused;\nbuild A;",
       "scene affine sets 2 maps 5\nset 0 level 2 members 1\n" + m1 + "set 1 level 1 members 2\n" +
           m1 + m1},
      {"set A = weight(0.25) scale(0.5) A | 3 + translate(1, 0, 0) 0.5 A {2.5};\nbuild A;",
       "scene affine sets 2 maps 4\nset 0 level 2 members 1\n" + m1 +
           "set 1 level 1 members 2\n  member target 1 weight -1 key 0 selection 2.5\n"
           "  member target 1 weight 0.25 key 3 selection 1\n"},
      // The extended set holds the old one and its image.
      {"set A = 0.5 A + translate(1, 0, 0) 0.5 A;\nset A += translate(0, 1, 0) 0.5 A;\nbuild A;",
       "scene affine sets 3 maps 4\nset 0 level 3 members 1\n" + m1 + "set 1 level 2 members 2\n" +
           m2 + m2 + "set 2 level 1 members 2\n" + m2 + m2},
      {"set A = 0.5 A + translate(1, 0, 0) 0.5 A;\nset B = 0.4 B + translate(0, 0, 1) 0.4 B;\n"
       "build A; build translate(3, 0, 0) B;",
       "scene affine sets 3 maps 6\nset 0 level 3 members 2\n" + m2 + m1 +
           "set 1 level 2 members 2\n" + m1 + m1 + "set 2 level 1 members 2\n" + m2 + m2},
      {"set A = 0.5 A + translate(1, 0, 0) 0.5 A + inverse(0, 0, 5, 2) 0.5 A; build A;",
       "scene conformal sets 2 maps 4\nset 0 level 2 members 1\n" + m1 +
           "set 1 level 1 members 3\n" + m1 + m1 + m1},
  };
  for (const auto& c : cases) EXPECT_EQ(structureOf(c.script), c.structure) << c.script;
}

TEST(DumpScene, BoundsAndWeightsInFullPrecision) {
  engine::ConformalFractal scene;
  engine::IfsSet* a = scene.newSet();  // makes the root first
  engine::IfsSet* root = scene.rootSet();
  scene.addMember(root, a);
  engine::SetMember* m = scene.addMember(a, a);
  m->weight = 0.25;
  m->colorKey = 3;
  m->selectionWeight = 1.0 / 3;
  scene.addMember(a, root);
  root->level = 2;
  root->boundCenter = {0.5, -1, 1e-10};
  root->boundRadius2 = 2.25;
  a->level = 1;
  a->boundRadius2 = 2;
  std::ostringstream out;
  dumpSets(scene.type(), 1, scene.firstSet(), out);
  EXPECT_EQ(out.str(),
            "scene conformal sets 2 maps 1\n"
            "set 0 level 2 members 1 centre 0.5 -1 1e-10 radius 1.5\n"
            "  member target 1 weight -1 key 0 selection 1\n"
            "set 1 level 1 members 2 centre 0 0 0 radius 1.41421356\n"
            "  member target 0 weight -1 key 0 selection 1\n"
            "  member target 1 weight 0.25 key 3 selection 0.333333333\n");
}

}  // namespace
}  // namespace cli::testing
