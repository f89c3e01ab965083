#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

using engine::IfsSet;
using engine::MapKind;
using engine::MapSpec;
using engine::SetMember;

std::vector<const SetMember*> members(const IfsSet* set) {
  std::vector<const SetMember*> result;
  for (const SetMember* m = set->members; m; m = m->next) result.push_back(m);
  return result;
}

// The only member of a set (fails the test otherwise).
const SetMember* only(const IfsSet* set) {
  const auto list = members(set);
  EXPECT_EQ(list.size(), 1u);
  return list.empty() ? nullptr : list.front();
}

// Follows identity members with a single member each, as prepare will
// collapse them, from `set` to the first set that is not such a link.
const IfsSet* throughLinks(const IfsSet* set) {
  while (set->memberCount() == 1 && set->members->mapIndex == 0) set = set->members->target;
  return set;
}

class SetStatements : public ::testing::Test {
 protected:
  std::string run(const std::string& script) {
    s_.reset();  // its captured output ends first
    s_ = std::make_unique<Interpreter>(script);
    return s_->run();
  }
  const IfsSet* named(const std::string& name) const { return s_->parser.setNames.at(name); }
  const std::vector<MapSpec>& maps() const { return s_->scene->mapTable; }
  const MapSpec& mapOf(const SetMember* m) const { return maps().at(m->mapIndex); }
  Interpreter& s() { return *s_; }

 private:
  std::unique_ptr<Interpreter> s_;
};

MapSpec spec(MapKind kind, int argCount, std::vector<double> args) {
  MapSpec m;
  m.kind = int32_t(kind);
  m.argCount = argCount;
  for (size_t i = 0; i < args.size(); ++i) m.args[i] = args[i];
  return m;
}

void expectSameSpec(const MapSpec& actual, const MapSpec& expected) {
  EXPECT_EQ(actual.kind, expected.kind);
  EXPECT_EQ(actual.argCount, expected.argCount);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(actual.args[i], expected.args[i]) << "argument " << i;
}

TEST_F(SetStatements, MembersGoToTheFrontInReverseOrder) {
  ASSERT_EQ(run("set A = scale(0.5) A + translate(1, 0, 0) A;"), "");
  const IfsSet* a = named("A");
  const auto list = members(a);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(mapOf(list[0]).mapKind(), MapKind::Translate);
  EXPECT_EQ(mapOf(list[1]).mapKind(), MapKind::Scale);
  for (const SetMember* m : list) {
    // The map's open end leads to A through an identity member.
    const SetMember* link = only(m->target);
    EXPECT_EQ(link->mapIndex, 0);
    EXPECT_EQ(link->target, a);
    EXPECT_EQ(m->weight, -1.0);
    EXPECT_EQ(m->selectionWeight, 1.0);
    EXPECT_EQ(m->colorKey, 0);
    EXPECT_EQ(m->material, nullptr);
  }
  ASSERT_EQ(maps().size(), 3u);
  EXPECT_EQ(maps()[0].mapKind(), MapKind::Id);
}

TEST_F(SetStatements, CompositionAppliesTheLaterMapFirst) {
  ASSERT_EQ(run("set A = scale(0.5) rotate(30) * A;"), "");
  const SetMember* first = only(named("A"));
  EXPECT_EQ(mapOf(first).mapKind(), MapKind::Scale);
  const SetMember* second = only(first->target);
  EXPECT_EQ(mapOf(second).mapKind(), MapKind::Rotate);
  EXPECT_EQ(throughLinks(second->target), named("A"));
}

TEST_F(SetStatements, MapTableSharesEqualEntries) {
  ASSERT_EQ(run("set A = scale(2) A + scale(2, 2, 2) A + 2 A + scale(1) A + 1 A + id() A;"), "");
  const auto list = members(named("A"));
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(list[0]->mapIndex, 0);  // id()
  EXPECT_EQ(list[1]->mapIndex, 0);  // 1
  EXPECT_EQ(list[2]->mapIndex, 0);  // scale(1)
  EXPECT_EQ(list[3]->mapIndex, 1);
  EXPECT_EQ(list[4]->mapIndex, 1);
  EXPECT_EQ(list[5]->mapIndex, 1);
  EXPECT_EQ(maps().size(), 2u);
}

TEST_F(SetStatements, MapDefaultsAreFilledIn) {
  ASSERT_EQ(run("set A = rotate(90) rotate(1, 2, 3, 4) rotate(1, 2, 3, 4, 5, 6) translate(1, 2) "
                "inverse() inverse(1, 2, 3, 4) scale(3) A;"),
            "");
  expectSameSpec(maps()[1], spec(MapKind::Rotate, 1, {0, 0, 1, 90, 1, 1}));
  expectSameSpec(maps()[2], spec(MapKind::Rotate, 4, {1, 2, 3, 4, 1, 1}));
  expectSameSpec(maps()[3], spec(MapKind::Rotate, 6, {1, 2, 3, 4, 5, 6}));
  expectSameSpec(maps()[4], spec(MapKind::Translate, 2, {1, 2, 0}));
  expectSameSpec(maps()[5], spec(MapKind::Inverse, 0, {0, 0, 0, 1}));
  expectSameSpec(maps()[6], spec(MapKind::Inverse, 4, {1, 2, 3, 4}));
  expectSameSpec(maps()[7], spec(MapKind::Scale, 1, {3, 3, 3}));
}

TEST_F(SetStatements, EveryMapKeyword) {
  ASSERT_EQ(run("set A = id() scale(1, 2, 3) translate(1, 2, 3) rotate(1) reflect(1, 0, 0) "
                "stretch(0, 0, 1, 0.5) inverse() matrix(1, 0, 0, 0, 1, 0, 0, 0, 1) "
                "affine2d(1, 2, 3, 4, 5, 6) rotate_v(1, 0, 0, 0, 1, 0) weight(0.3) "
                "bound(0, 0, 0, 2) empty() A;"),
            "");
  std::vector<MapKind> kinds;
  for (const MapSpec& m : maps()) kinds.push_back(m.mapKind());
  EXPECT_EQ(kinds,
            (std::vector<MapKind>{MapKind::Id, MapKind::Scale, MapKind::Translate, MapKind::Rotate,
                                  MapKind::Reflect, MapKind::Stretch, MapKind::Inverse,
                                  MapKind::Matrix, MapKind::Affine2d, MapKind::RotateV,
                                  MapKind::Weight, MapKind::Bound, MapKind::Empty}));
}

TEST_F(SetStatements, ExtensionMakesTheNameDenoteANewSet) {
  ASSERT_EQ(run("set A = 0.5 A; build A; set A += translate(1, 0, 0) A;"), "");
  const IfsSet* extended = named("A");
  const auto list = members(extended);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(mapOf(list[0]).mapKind(), MapKind::Translate);
  const IfsSet* old = throughLinks(list[0]->target);
  EXPECT_NE(old, extended);
  EXPECT_EQ(list[1]->mapIndex, 0);
  EXPECT_EQ(list[1]->target, old);
  EXPECT_EQ(old->memberCount(), 1);
  // The build made before still draws the old set.
  EXPECT_EQ(throughLinks(s().scene->rootSet()->members->target), old);
}

TEST_F(SetStatements, MapsInParenthesesShareTheFollowingFactor) {
  ASSERT_EQ(run("set A = (scale(0.5) + translate(1, 0, 0)) A;"), "");
  const SetMember* group = only(named("A"));
  EXPECT_EQ(group->mapIndex, 0);
  const auto terms = members(group->target);
  ASSERT_EQ(terms.size(), 2u);
  EXPECT_EQ(mapOf(terms[0]).mapKind(), MapKind::Translate);
  EXPECT_EQ(mapOf(terms[1]).mapKind(), MapKind::Scale);
  // Both open ends lead to the last one, where A follows.
  const IfsSet* lastEnd = terms[0]->target;
  EXPECT_EQ(only(lastEnd)->target, named("A"));
  EXPECT_EQ(only(terms[1]->target)->target, lastEnd);
}

TEST_F(SetStatements, SelectionCount) {
  ASSERT_EQ(run("set A = (0.5 A + 0.3 A + 0.2 A) % 2;"), "");
  const IfsSet* group = only(named("A"))->target;
  EXPECT_EQ(group->selectionCount, 2);
  EXPECT_EQ(group->memberCount(), 3);
}

TEST_F(SetStatements, SelectionWeightAndColourKeyMarkTheTermsMember) {
  ASSERT_EQ(run("w = 2; set A = 0.5 rotate(3) A {w + 1} | 7 + B | 2 {0.25};"), "");
  const auto list = members(named("A"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->target, named("B"));
  EXPECT_EQ(list[0]->colorKey, 2);
  EXPECT_EQ(list[0]->selectionWeight, 0.25);
  EXPECT_EQ(mapOf(list[1]).mapKind(), MapKind::Scale);
  EXPECT_EQ(list[1]->colorKey, 7);
  EXPECT_EQ(list[1]->selectionWeight, 3);
}

TEST_F(SetStatements, BuildsAddMembersToTheRoot) {
  ASSERT_EQ(run("set A = 0.5 A; build A; build 0.5 A;"), "");
  const IfsSet* root = s().scene->rootSet();
  EXPECT_EQ(root, s().scene->firstSet());
  const auto list = members(root);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_NE(list[0]->target, list[1]->target);
  for (const SetMember* m : list) {
    EXPECT_EQ(m->material, s().scene->defaultMaterial());
    EXPECT_EQ(m->mapIndex, 0);
  }
  EXPECT_EQ(only(list[1]->target)->target, named("A"));
  EXPECT_EQ(mapOf(only(list[0]->target)).mapKind(), MapKind::Scale);
}

TEST_F(SetStatements, MaterialItemsGiveTheBuildItsOwnRecord) {
  ASSERT_EQ(run("build A; color(1, 0.5, 0, 2) shininess(7) reflection(0.5) power(2) weight(0.3);\n"
                "build B; metal(0.5) specular(0.1) ambient(1, 2, 3);\nbuild C;"),
            "");
  const auto list = members(s().scene->rootSet());
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0]->material, s().scene->defaultMaterial());
  const engine::Material& b = *list[1]->material;
  EXPECT_EQ(b.diffuse, (engine::Rgb{0.5, 0.5, 0.5}));
  EXPECT_EQ(b.specular, (engine::Rgb{0.1, 0.1, 0.1}));
  EXPECT_EQ(b.ambient, (engine::Rgb{1, 2, 3}));
  EXPECT_EQ(b.shininess, 5.0);
  const engine::Material& a = *list[2]->material;
  EXPECT_EQ(a.diffuse, (engine::Rgb{2, 1, 0}));
  EXPECT_EQ(a.specular, (engine::Rgb{2, 1, 0}));
  EXPECT_EQ(a.ambient, (engine::Rgb{2, 1, 0}));
  EXPECT_EQ(a.shininess, 7);
  EXPECT_EQ(a.reflection, 0.5);
  EXPECT_EQ(a.power, 2);
  EXPECT_EQ(a.weight, 0.3);
}

TEST_F(SetStatements, MetalClearsTheAmbientColour) {
  ASSERT_EQ(run("build A; metall(0.5, 0.6, 0.7);"), "");
  const engine::Material& m = *s().scene->rootSet()->members->material;
  EXPECT_EQ(m.diffuse, (engine::Rgb{0.5, 0.6, 0.7}));
  EXPECT_EQ(m.specular, (engine::Rgb{0.5, 0.6, 0.7}));
  EXPECT_EQ(m.ambient, (engine::Rgb{0, 0, 0}));
}

TEST_F(SetStatements, IndexedSetNames) {
  ASSERT_EQ(run("i = 2; set A[i] = 0.5 A[i]; set A[i + 1] = A[2];"), "");
  EXPECT_EQ(throughLinks(only(named("A.2"))->target), named("A.2"));
  EXPECT_EQ(only(named("A.3"))->target, named("A.2"));
}

TEST_F(SetStatements, AssignmentsInsideExpressions) {
  ASSERT_EQ(run("build A = 0.5 A; set B = 0.3 (C = 0.2 C); set D = F = 0.1 F;"), "");
  EXPECT_EQ(named("A")->memberCount(), 1);
  EXPECT_EQ(throughLinks(s().scene->rootSet()->members->target), named("A"));
  EXPECT_EQ(throughLinks(only(named("B"))->target), named("C"));
  EXPECT_EQ(only(named("D"))->target, named("F"));
}

TEST_F(SetStatements, ClearSetsStartsOverWithFreshNames) {
  ASSERT_EQ(run("set A = 0.5 A; build A; clearSets; set A = 0.3 A;"), "");
  EXPECT_EQ(s().scene->rootSet(), s().scene->firstSet());
  EXPECT_EQ(s().scene->rootSet()->memberCount(), 0);
  ASSERT_EQ(maps().size(), 2u);
  EXPECT_EQ(maps()[1].args[0], 0.3);
  EXPECT_EQ(s().parser.setNames.size(), 1u);
  EXPECT_EQ(named("A")->memberCount(), 1);
  EXPECT_TRUE(s().parser.setStatementSeen);
}

TEST_F(SetStatements, SuppressedStatementsChangeNothing) {
  ASSERT_EQ(run("if (0) { set A = 0.5 A; build A; set X = scale(1); clearSets; }"), "");
  EXPECT_EQ(s().scene->firstSet(), nullptr);
  EXPECT_TRUE(s().parser.setNames.empty());
  EXPECT_TRUE(maps().empty());
  EXPECT_TRUE(s().parser.setStatementSeen);
}

TEST_F(SetStatements, SetStatementWithoutAssignmentOnlyNamesSets) {
  ASSERT_EQ(run("set A + 0.5 B;"), "");
  EXPECT_EQ(named("A")->memberCount(), 0);
  EXPECT_EQ(named("B")->memberCount(), 0);
}

}  // namespace
}  // namespace lang::testing
