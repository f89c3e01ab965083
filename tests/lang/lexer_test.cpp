#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

constexpr int kEof = antlr::Token::EOF_TYPE;

// The tokens before the end as "text:line", separated by blanks.
std::string spelled(const std::string& text, std::string* error = nullptr) {
  std::string result;
  for (const Token& t : lex(text, error)) {
    if (t.type == kEof) break;
    result += (result.empty() ? "" : " ") + t.text + ":" + std::to_string(t.line);
  }
  return result;
}

TEST(Lexer, TokenTextsAndLines) {
  const struct {
    const char* text;
    const char* tokens;
  } cases[] = {
      {"a_1 /* c */ // d\n  b", "a_1:1 b:2"},
      {"a<<=b x--1 1..2", "a:1 <<:1 =:1 b:1 x:1 --:1 1:1 1.:1 .2:1"},  // the longest pair
      {"a\x03\t\v\f\x1f\x7f\xa0\xffz", "a:1 z:1"},  // control and high bytes are blanks
      {"scale := 2;", "scale:1 ::1 =:1 2:1 ;:1"},   // keywords are no aliases
      {"5. 5.0 .5 5e3 5E+3 1.5e-2 .5e-3", "5.:1 5.0:1 .5:1 5e3:1 5E+3:1 1.5e-2:1 .5e-3:1"},
      {"\"a\\\"b\" 'it\\'s' 'say \"hi\"'", "a\\\"b:1 it\\'s:1 say \"hi\":1"},
      {"# one\n// two\n/* three\n* / */ x", "x:4"},
      {"a\r\nb\rc\nd\n\re", "a:1 b:2 c:3 d:4 e:6"},
      // Aliases: the body is read in place of each use, with its own lines.
      {"s := scale(0.5) /* half */ ;  set A = s A;", "set:1 A:1 =:1 scale:1 (:1 0.5:1 ):1 A:1 ;:1"},
      {"ab := 1 +\n 2;\nx = ab; y = ab\n;z", "x:3 =:3 1:1 +:1 2:2 ;:3 y:3 =:3 1:1 +:1 2:2 ;:4 z:4"},
      {"r // why\n /* so */ := 2; r", "2:2"},
      {"a := 1 // x;\n + /* ; */ 2 # ;\n; a", "1:1 +:2 2:2"},  // ";" in comments: no end
      {"a := echo 'x; b = 1;", "b:1 =:1 1:1 ;:1"},             // ";" in a string ends it
      {"r; r := 7; r", "r:1 ;:1 7:1"},                         // ordinary before its definition
      {"a := 1; b := a + a; c := (b) * b; c", "(:1 1:1 +:1 1:1 ):1 *:1 1:1 +:1 1:1"},
      {"a := a := 1;", ""},  // a body that redefines its own alias cannot loop
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(spelled(c.text, &error), c.tokens) << c.text;
    EXPECT_EQ(error, "") << c.text;
  }
  // The tokens before an error are delivered.
  EXPECT_EQ(spelled("a b $"), "a:1 b:1");
}

TEST(Lexer, SubstitutionsThatMultiplyWithoutBoundAreStopped) {
  // Each alias uses the one before ten times: 10^9 copies of a 100 kB body.
  std::string script = "a0 := /*" + std::string(100000, 'x') + "*/ 1;\n";
  for (int i = 1; i <= 9; ++i) {
    script += "a" + std::to_string(i) + " :=";
    for (int k = 0; k < 10; ++k) script += " a" + std::to_string(i - 1);
    script += ";\n";
  }
  std::string error;
  spelled(script + "x = a9;", &error);
  EXPECT_EQ(error, "error: line 2: alias substitutions exceed 4 MB at: a0");
}

}  // namespace
}  // namespace lang::testing
