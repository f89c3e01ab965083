#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

// The terms that set statements leave in the named sets ("root": the builds),
// and the size of the map table, whose entry 0 is the identity.
TEST(SetStatements, Terms) {
  const struct {
    const char* script;
    const char* names;
    size_t maps;
    const char* terms;  // of each name, separated by "; "
  } cases[] = {
      // New members go to the front; the map written last acts first.
      {"set A = scale(0.5) A + translate(1, 0, 0) A;", "A", 3,
       "translate(1) A + scale(0.5,0.5,0.5) A"},
      {"set A = scale(0.5) rotate(30) * A;", "A", 3, "scale(0.5,0.5,0.5) rotate(0,0,1,30,1,1) A"},
      // Equal calls share an entry; a factor of 1 is the identity.
      {"set A = scale(2) A + scale(2, 2, 2) A + 2 A + scale(1) A + 1 A + id() A;", "A", 2,
       "A + A + A + scale(2,2,2) A + scale(2,2,2) A + scale(2,2,2) A"},
      {"set A = rotate(90) rotate(1, 2, 3, 4) rotate(1, 2, 3, 4, 5, 6) translate(1, 2) inverse() "
       "inverse(1, 2, 3, 4) A;",
       "A", 7,
       "rotate(0,0,1,90,1,1) rotate(1,2,3,4,1,1) rotate(1,2,3,4,5,6) translate(1,2) "
       "inverse(0,0,0,1) inverse(1,2,3,4) A"},
      {"set A = id() scale(1, 2, 3) reflect(1, 0, 0) stretch(0, 0, 1, 0.5) "
       "matrix(1, 0, 0, 0, 1, 0, 0, 0, 1) affine2d(1, 2, 3, 4, 5, 6) rotate_v(1, 0, 0, 0, 1, 0) "
       "weight(0.3) bound(0, 0, 0, 2) empty() A;",
       "A", 10,
       "scale(1,2,3) reflect(1) stretch(0,0,1,0.5) matrix(1,0,0,0,1,0,0,0,1) affine2d(1,2,3,4,5,6) "
       "rotate_v(1,0,0,0,1) weight(0.3) bound(0,0,0,2) empty() A"},
      // Maps in parentheses share the factor after them.
      {"set A = (scale(0.5) + translate(1, 0, 0)) A;", "A", 3,
       "(translate(1) A + scale(0.5,0.5,0.5) A)"},
      {"set A = (0.5 A + 0.3 A) % 2;", "A", 3, "(scale(0.3,0.3,0.3) A + scale(0.5,0.5,0.5) A) %2"},
      {"w = 2; set A = 0.5 rotate(3) A {w + 1} | 7 + B | 2 {0.25};", "A", 3,
       "B |2 {0.25} + scale(0.5,0.5,0.5) rotate(0,0,1,3,1,1) A |7 {3}"},
      // An extension makes the name denote a new set holding the old one and its image;
      // the earlier build keeps the old one.
      {"set A = 0.5 A; build A; set A += translate(1, 0, 0) A;", "A root", 3,
       "translate(1) scale(0.5,0.5,0.5) @ + scale(0.5,0.5,0.5) @; scale(0.5,0.5,0.5) @"},
      {"i = 2; set A[i] = 0.5 A[i]; set A[i + 1] = A[2];", "A.2 A.3", 2,
       "scale(0.5,0.5,0.5) A.2; A.2"},
      {"build A = 0.5 A; set B = 0.3 (C = 0.2 C); set D = F = 0.1 F;", "root A B D", 5,
       "A; scale(0.5,0.5,0.5) A; scale(0.3,0.3,0.3) C; F"},
      {"set A + 0.5 B;", "A B", 0, "; "},  // no assignment: names alone
  };
  for (const auto& c : cases) {
    Interpreter s(c.script);
    ASSERT_EQ(s.run(), "") << c.script;
    std::istringstream names(c.names);
    std::string terms, separator;
    for (std::string name; names >> name; separator = "; ")
      terms += separator + s.terms(name == "root" ? "" : name);
    EXPECT_EQ(terms, c.terms) << c.script;
    EXPECT_EQ(s.scene->mapTable.size(), c.maps) << c.script;
  }
}

TEST(SetStatements, SuppressedStatementsChangeNothing) {
  Interpreter s("if (0) { set A = 0.5 A; build A; set X = scale(1); clearSets; }");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.scene->firstSet(), nullptr);
  EXPECT_TRUE(s.parser.setNames.empty());
  EXPECT_TRUE(s.scene->mapTable.empty());
  EXPECT_TRUE(s.parser.setStatementSeen);
}

// Material items after a build give it a record of its own; "metal" clears
// the ambient colour, "ambient" is a material item there.
TEST(SetStatements, MaterialItemsOfBuilds) {
  Interpreter s(
      "build A; color(1, 0.5, 0, 2) shininess(7) reflection(0.5) power(2) weight(0.3);\n"
      "build B; metal(0.5) specular(0.1) ambient(1, 2, 3);\nbuild C; metall(0.5, 0.6, 0.7);\n"
      "build D;");
  ASSERT_EQ(s.run(), "");
  std::vector<std::string> materials;
  for (const engine::SetMember* m = s.scene->rootSet()->members; m; m = m->next) {
    const engine::Material& k = *m->material;
    std::ostringstream o;
    for (const engine::Rgb& c : {k.diffuse, k.specular, k.ambient})
      o << c.r << ',' << c.g << ',' << c.b << ' ';
    o << k.shininess << ' ' << k.reflection << ' ' << k.power << ' ' << k.weight;
    materials.push_back((m->material == s.scene->defaultMaterial() ? "default " : "") + o.str());
  }
  EXPECT_EQ(materials, (std::vector<std::string>{
                           "default 1.7,1.7,1.7 0.4,0.4,0.4 1,1,1 5 1 3 0",
                           "0.5,0.6,0.7 0.5,0.6,0.7 0,0,0 5 1 3 0",
                           "0.5,0.5,0.5 0.1,0.1,0.1 1,2,3 5 1 3 0",
                           "2,1,0 2,1,0 2,1,0 7 0.5 2 0.3",
                       }));
}

}  // namespace
}  // namespace lang::testing
