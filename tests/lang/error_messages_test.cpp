#include <string>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

// Every message a token or a statement can end the script with, at its
// position.
TEST(ErrorMessages, EndTheScriptAtTheirPosition) {
  const struct {
    std::string script;
    const char* error;
  } cases[] = {
      // Tokens
      {"5e;", "error: line 1:3: unexpected char: ';'"},
      {"\"a\\nb\"", "error: line 1:4: expecting '\"', found 'n'"},
      {"'abc", "error: line 1:5: expecting ''', found 'EOF'"},
      {"x // no line break", "error: line 1:19: unexpected char: EOF"},
      {"\x02", "error: line 1:1: unexpected char: 0x02"},
      {std::string("x\0y", 3), "error: line 1:2: unexpected char: 0x00"},  // no end of text
      {"h := 1", "error: line 1:7: expecting ';', found 'EOF'"},
      {"a := b; b := a a := 2; a", "error: line 1: recursion found in substitution: a"},
      {"bad := 1 $;\n\nx = bad;", "error: line 1:10: unexpected char: '$'"},  // the body's line
      {"a := 1\n\n;\nx = a + $;", "error: line 4:9: unexpected char: '$'"},   // back at the use
      // The script as a whole
      {"", "error: line 0:0: Empty source file!"},
      {"x = 1;\n}", "error: line 2:1: expecting EOF, found '}'"},
      {"else x = 1;", "error: line 1:1: unexpected token: else"},
      {"x = 1", "error: line 1:6: unexpected end of file"},
      // Expressions
      {"x = 1;\n3 = 4;", "error: line 2:3: not a l-value in assigment"},
      {"x = (1;", "error: line 1:7: expecting ')', found ';'"},
      {"x = 0x1F;", "error: line 1:5: unexpected token: 1F"},
      {"x = 1;\ny = max(1);", "error: line 2:8: too few arguments in function call"},
      {"y = sqrt(1, 2);", "error: line 1:9: too many arguments in function call"},
      // Statements
      {"do x = 1; while (0);", "error: line 1:4: expecting '{', found 'x'"},
      {"antialiasing(n);", "error: line 1:14: expecting integer, found 'n'"},
      {"if (0) save_frame(); save_frame(1);", "error: line 1:33: expecting ')', found '1'"},
      // Camera and lights: required items are checked even when suppressed.
      {"x = 1;\n  camera vertical(0, 1, 0);", "error: line 2:3: camera position required"},
      {"camera position(0, 0, 1);", "error: line 1:1: camera vertical direction required"},
      {"if (0) camera fov(30);", "error: line 1:8: camera position required"},
      {"light position(0, 0, 0);", "error: line 1:7: color required"},
      {"light\n  color(1);", "error: line 2:3: position or direction required"},
      {"light color(1, 2) position(0, 0, 0);",
       "error: line 1:12: wrong number of arguments, should be 1,3 or 4"},
      {"light color(1, 2, 3, 4, 5) position(0, 0, 0);",
       "error: line 1:12: too many arguments in function call"},
      // Sets and maps
      {"set A =\n  scale(1, 2) A;", "error: line 2:3: wrong number of arguments in map"},
      {"x = 1;\nset A = scale(0.5);", "error: line 2:5: wrong set expression"},
      {"set A = B scale(2) C;", "error: line 1:11: wrong set expression"},  // a map must lead
      {"set A = 0.5 A;\nset A = 0.3 A;", "error: line 2:5: set redefinition!"},
      {"set D += 0.5 D;", "error: line 1:5: using += with undefined set!"},
      {"set scale(2) A = B;", "error: line 1:5: not an l-value in assigment "},
      {"set A = scale(0.5) +\n A;", "error: line 2:2: can't add map to a set"},
      {"A = 1;\nset B = 0.5 A;",
       "error: line 2:13: real-valued variable 'A' used as lvalue in set expresion"},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(c.script), c.error) << c.script;
}

TEST(ErrorMessages, DeepNestingIsAnErrorNotACrash) {
  EXPECT_EQ(errorOf("x = " + std::string(100000, '(') + "1;").rfind("error: line 1:", 0), 0u);
  std::string negations;
  for (int i = 0; i < 5000; ++i) negations += "- ";
  EXPECT_NE(errorOf("x = " + negations + "1;").find("nesting too deep"), std::string::npos);
  EXPECT_NE(errorOf(std::string(5000, '{') + std::string(5000, '}')).find("nesting too deep"),
            std::string::npos);
  // Ordinary depths are fine.
  EXPECT_EQ(errorOf("x = " + std::string(60, '(') + "1" + std::string(60, ')') + ";"), "");
}

}  // namespace
}  // namespace lang::testing
