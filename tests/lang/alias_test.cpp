#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

using T = FractalParserTokenTypes;
constexpr int kEof = antlr::Token::EOF_TYPE;

std::vector<std::string> texts(const std::string& script) {
  std::vector<std::string> result;
  for (const Token& t : lex(script)) result.push_back(t.text);
  return result;
}

TEST(Alias, UseReadsTheBodyInItsPlace) {
  EXPECT_EQ(texts("r := 1.5;\nx = r;"), texts("x = 1.5;"));
  EXPECT_EQ(tokenTypes("r := 1.5;\nx = r;"), tokenTypes("x = 1.5;"));
  EXPECT_EQ(texts("s := scale(0.5) /* half */ ;  set A = s A;"), texts("set A = scale(0.5) A;"));
}

TEST(Alias, DefinitionAfterCommentsAndBlanks) {
  EXPECT_EQ(texts("r // why\n /* so */ := 2; r"), (std::vector<std::string>{"2", ""}));
}

TEST(Alias, BodyLinesCountAtDefinitionAndAtEachUse) {
  const auto tokens = lex("ab := 1 +\n 2;\nx = ab; y = ab\n;z");
  // The definition takes lines 1 and 2; each use reads line 1 and 2 again.
  std::vector<std::pair<std::string, int>> seen;
  for (const Token& t : tokens) seen.emplace_back(t.text, t.line);
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{{"x", 3},
                                                            {"=", 3},
                                                            {"1", 1},
                                                            {"+", 1},
                                                            {"2", 2},
                                                            {";", 3},
                                                            {"y", 3},
                                                            {"=", 3},
                                                            {"1", 1},
                                                            {"+", 1},
                                                            {"2", 2},
                                                            {";", 4},
                                                            {"z", 4},
                                                            {"", 4}}));
}

TEST(Alias, SemicolonInCommentDoesNotEndTheBody) {
  EXPECT_EQ(texts("a := 1 // x;\n + /* ; */ 2 # ;\n; a"),
            (std::vector<std::string>{"1", "+", "2", ""}));
}

TEST(Alias, SemicolonInStringEndsTheBody) {
  // The body of a is "echo 'x": the text after it is read as usual.
  EXPECT_EQ(texts("a := echo 'x; b = 1;"), (std::vector<std::string>{"b", "=", "1", ";", ""}));
}

TEST(Alias, SlashInBody) {
  EXPECT_EQ(texts("h := 1/2; h"), (std::vector<std::string>{"1", "/", "2", ""}));
  std::string error;
  lex("h := 1/", &error);
  EXPECT_EQ(error, "error: line 1:7: unexpected char: '/'");
  lex("h := 1", &error);
  EXPECT_EQ(error, "error: line 1:7: expecting ';', found 'EOF'");
}

TEST(Alias, KeywordBeforeColonEqualsIsNoDefinition) {
  EXPECT_EQ(tokenTypes("scale := 2;"),
            (std::vector<int>{T::LITERAL_scale, T::COLON, T::ASSIGN, T::INTEGER, T::SEMI, kEof}));
}

TEST(Alias, IdentifierBeforeItsDefinitionIsOrdinary) {
  EXPECT_EQ(texts("r; r := 7; r"), (std::vector<std::string>{"r", ";", "7", ""}));
}

TEST(Alias, AliasesNest) {
  EXPECT_EQ(texts("a := 1; b := a + a; c := (b) * b; c"),
            (std::vector<std::string>{"(", "1", "+", "1", ")", "*", "1", "+", "1", ""}));
}

TEST(Alias, RedefinitionChangesLaterUses) {
  EXPECT_EQ(texts("r := 1; r r := 2; r"), (std::vector<std::string>{"1", "2", ""}));
}

TEST(Alias, RecursionIsReportedWithTheBodyLine) {
  std::string error;
  lex("\n\nring := 1 +\n ring;\nx = ring;", &error);
  EXPECT_EQ(error, "error: line 3: recursion found in substitution: ring");
  lex("a := b;\nb := a;\nx = a;", &error);
  EXPECT_EQ(error, "error: line 1: recursion found in substitution: a");
}

TEST(Alias, ErrorsInABodyCarryTheBodyLine) {
  std::string error;
  const auto tokens = lex("bad := 1 $;\n\nx = bad;", &error);
  EXPECT_EQ(error, "error: line 1:10: unexpected char: '$'");
}

TEST(Alias, LineAndColumnReturnToTheUse) {
  std::string error;
  lex("a := 1\n\n;\nx = a + $;", &error);
  EXPECT_EQ(error, "error: line 4:9: unexpected char: '$'");
}

TEST(Alias, BodyRedefiningItsOwnAliasCannotLoop) {
  std::string error;
  lex("a := a := 1;", &error);
  EXPECT_EQ(error, "");
  lex("a := b; b := a a := 2; a", &error);
  EXPECT_EQ(error, "error: line 1: recursion found in substitution: a");
}

TEST(Alias, SubstitutionsThatMultiplyWithoutBoundAreStopped) {
  // Each alias uses the one before ten times: 10^9 copies of a 100 kB body.
  std::string script = "a0 := /*" + std::string(100000, 'x') + "*/ 1;\n";
  for (int i = 1; i <= 9; ++i) {
    const std::string previous = "a" + std::to_string(i - 1);
    script += "a" + std::to_string(i) + " :=";
    for (int k = 0; k < 10; ++k) script += " " + previous;
    script += ";\n";
  }
  script += "x = a9;";
  std::string error;
  lex(script, &error);
  EXPECT_EQ(error, "error: line 2: alias substitutions exceed 4 MB at: a0");
}

}  // namespace
}  // namespace lang::testing
