#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace cli::testing {
namespace {

struct MemberLine {
  int target;
  double weight;
  int key;
  double selection;
};
struct SetLine {
  int index, level, members;
  double x, y, z, radius;
  std::vector<MemberLine> memberLines;
};
struct Dump {
  std::string type;
  int sets = 0, maps = 0;
  std::vector<SetLine> setLines;
};

// Reads the --dump-scene output back; fails the test on a malformed line.
Dump parse(const std::string& text) {
  Dump dump;
  std::istringstream lines(text);
  std::string line, word;
  std::getline(lines, line);
  std::istringstream head(line);
  head >> word >> dump.type >> word >> dump.sets >> word >> dump.maps;
  EXPECT_TRUE(head) << line;
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    if (line.rfind("set ", 0) == 0) {
      SetLine s;
      in >> word >> s.index >> word >> s.level >> word >> s.members >> word >> s.x >> s.y >> s.z >>
          word >> s.radius;
      EXPECT_TRUE(in) << line;
      dump.setLines.push_back(s);
    } else {
      MemberLine m;
      in >> word >> word >> m.target >> word >> m.weight >> word >> m.key >> word >> m.selection;
      EXPECT_TRUE(in && line.rfind("  member ", 0) == 0) << line;
      EXPECT_FALSE(dump.setLines.empty());
      if (!dump.setLines.empty()) dump.setLines.back().memberLines.push_back(m);
    }
  }
  EXPECT_EQ(dump.setLines.size(), size_t(dump.sets));
  return dump;
}

Dump dumpOf(const std::string& script) {
  const CliRun run = runCli("--dump-scene -", script);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  return parse(run.out);
}

TEST(DumpScene, TetrahedronIsOneSetOfFourMapsUnderTheRoot) {
  const Dump dump = dumpOf(
      "half := scale(0.5);\n"
      "set T = translate( 0.5,  0.5,  0.5) half T + translate( 0.5, -0.5, -0.5) half T\n"
      "      + translate(-0.5,  0.5, -0.5) half T + translate(-0.5, -0.5,  0.5) half T;\n"
      "build T; color(1, 0.78, 0.42) shininess(20);\n");
  EXPECT_EQ(dump.type, "affine");
  ASSERT_EQ(dump.sets, 2);
  const SetLine& root = dump.setLines[0];
  const SetLine& tetrahedron = dump.setLines[1];
  EXPECT_EQ(root.members, 1);
  EXPECT_EQ(root.memberLines[0].target, 1);
  EXPECT_GT(root.level, tetrahedron.level);
  EXPECT_EQ(tetrahedron.members, 4);
  for (const MemberLine& m : tetrahedron.memberLines) EXPECT_EQ(m.target, 1);
  // The corners (+-1, +-1, +-1) lie sqrt(3) from the centre.
  EXPECT_NEAR(tetrahedron.x, 0, 1e-6);
  EXPECT_GE(tetrahedron.radius, std::sqrt(3.0) - 1e-9);
  EXPECT_LE(tetrahedron.radius, 1.1 * std::sqrt(3.0));
}

TEST(DumpScene, ScriptOutputComesFirst) {
  const CliRun run = runCli("--dump-scene -",
                            "echo \"hello\"; set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("hello\nscene affine sets 2 maps 3\n", 0), 0u) << run.out;
}

TEST(DumpScene, CompositionsCollapseIntoMembersOfTheNamedSet) {
  const Dump dump = dumpOf(
      "set A = scale(0.5) rotate(30) A + translate(1, 0, 0) scale(0.5) A;\n"
      "set Unused = 0.3 Unused;\n"
      "build A;");
  ASSERT_EQ(dump.sets, 2);  // root and A: the anonymous links and Unused are gone
  EXPECT_EQ(dump.maps, 5);
  ASSERT_EQ(dump.setLines[1].members, 2);
  for (const MemberLine& m : dump.setLines[1].memberLines) EXPECT_EQ(m.target, 1);
}

TEST(DumpScene, WeightsKeysAndSelectionWeightsReachTheMembers) {
  const Dump dump =
      dumpOf("set A = weight(0.25) scale(0.5) A | 3 + translate(1, 0, 0) 0.5 A {2.5};\nbuild A;");
  ASSERT_EQ(dump.sets, 2);
  const auto& members = dump.setLines[1].memberLines;
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].selection, 2.5);
  EXPECT_EQ(members[0].weight, -1);
  EXPECT_EQ(members[1].weight, 0.25);
  EXPECT_EQ(members[1].key, 3);
}

TEST(DumpScene, ExtendedSetKeepsTheOldOne) {
  const Dump dump = dumpOf(
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A;\n"
      "set A += translate(0, 1, 0) 0.5 A;\n"
      "build A;");
  ASSERT_EQ(dump.sets, 3);
  // The root draws the new A, which holds the old A and its image.
  const SetLine& extended = dump.setLines[1];
  EXPECT_EQ(extended.members, 2);
  EXPECT_EQ(dump.setLines[0].memberLines[0].target, 1);
  for (const MemberLine& m : extended.memberLines) EXPECT_EQ(m.target, 2);
  EXPECT_GT(extended.level, dump.setLines[2].level);
}

TEST(DumpScene, NamesAfterClearSetsDenoteFreshSets) {
  const Dump dump = dumpOf(
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;\n"
      "clearSets;\n"
      "set A = 0.3 A + translate(0, 1, 0) 0.3 A; build A;");
  EXPECT_EQ(dump.sets, 2);
  EXPECT_EQ(dump.maps, 3);
}

TEST(DumpScene, TwoBuildsDrawTwoSets) {
  const Dump dump = dumpOf(
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A;\n"
      "set B = 0.4 B + translate(0, 0, 1) 0.4 B;\n"
      "build A; build translate(3, 0, 0) B;");
  EXPECT_EQ(dump.setLines[0].members, 2);
  EXPECT_EQ(dump.sets, 3);
}

TEST(DumpScene, ConformalScene) {
  const Dump dump =
      dumpOf("set A = 0.5 A + translate(1, 0, 0) 0.5 A + inverse(0, 0, 5, 2) 0.5 A; build A;");
  EXPECT_EQ(dump.type, "conformal");
}

}  // namespace
}  // namespace cli::testing
