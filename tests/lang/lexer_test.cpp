#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

using T = FractalParserTokenTypes;
constexpr int kEof = antlr::Token::EOF_TYPE;

std::string errorOf(const std::string& text) {
  std::string error;
  lex(text, &error);
  return error;
}

TEST(Lexer, EveryKeywordOfTheVocabularyIsRecognised) {
  const Interpreter vocabulary("");
  int keywords = 0;
  for (int type = 0; type < vocabulary.parser.getNumTokens(); ++type) {
    const std::string name = vocabulary.parser.getTokenName(type);
    if (name.front() != '"') continue;
    ++keywords;
    const std::string keyword = name.substr(1, name.size() - 2);
    EXPECT_EQ(tokenTypes(keyword), (std::vector<int>{type, kEof})) << keyword;
  }
  EXPECT_EQ(keywords, 77);
}

TEST(Lexer, KeywordsAreCaseSensitive) {
  EXPECT_EQ(tokenTypes("camera Camera PI pi E e metal metall"),
            (std::vector<int>{T::LITERAL_camera, T::ID, T::LITERAL_PI, T::ID, T::LITERAL_E, T::ID,
                              T::LITERAL_metal, T::LITERAL_metall, kEof}));
}

TEST(Lexer, IdentifierTokenKeepsTheNameAlone) {
  const auto tokens = lex("a_1 /* c */ // d\n  b");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0], (Token{T::ID, "a_1", 1}));
  EXPECT_EQ(tokens[1], (Token{T::ID, "b", 2}));
}

TEST(Lexer, OperatorsTakeTheLongestPair) {
  EXPECT_EQ(tokenTypes("a<=b"), (std::vector<int>{T::ID, T::LESS_EQUAL, T::ID, kEof}));
  EXPECT_EQ(tokenTypes("a<<=b"), (std::vector<int>{T::ID, T::SL, T::ASSIGN, T::ID, kEof}));
  EXPECT_EQ(tokenTypes("x--1"), (std::vector<int>{T::ID, T::DEC, T::INTEGER, kEof}));
  EXPECT_EQ(tokenTypes("-> == != >= /= += ++ -= *= %= >> ^= && || &= |="),
            (std::vector<int>{T::ARROW, T::EQUAL, T::NOT_EQUAL, T::GREATER_EQUAL, T::DIV_ASSIGN,
                              T::PLUS_ASSIGN, T::INC, T::MINUS_ASSIGN, T::STAR_ASSIGN,
                              T::MOD_ASSIGN, T::SR, T::POW_ASSIGN, T::LAND, T::LOR, T::BAND_ASSIGN,
                              T::BOR_ASSIGN, kEof}));
  EXPECT_EQ(tokenTypes("= < > / + - * % ^ ! & | ( ) [ ] { } , ? : ~ ;"),
            (std::vector<int>{T::ASSIGN, T::LESS,     T::GREATER, T::DIV,    T::PLUS,   T::MINUS,
                              T::STAR,   T::MOD,      T::POW,     T::LNOT,   T::BAND,   T::BOR,
                              T::LPAREN, T::RPAREN,   T::LBRACK,  T::RBRACK, T::LCURLY, T::RCURLY,
                              T::COMMA,  T::QUESTION, T::COLON,   T::BNOT,   T::SEMI,   kEof}));
}

TEST(Lexer, Numbers) {
  EXPECT_EQ(tokenTypes("5"), (std::vector<int>{T::INTEGER, kEof}));
  for (const char* text : {"5.", "5.0", ".5", "5e3", "5E+3", "1.5e-2", ".5e-3"})
    EXPECT_EQ(lex(text).front(), (Token{T::DOUBLE, text, 1})) << text;
  EXPECT_EQ(lex(".").front(), (Token{T::DOT, ".", 1}));
  EXPECT_EQ(tokenTypes("1..2"), (std::vector<int>{T::DOUBLE, T::DOUBLE, kEof}));
  EXPECT_EQ(errorOf("5e;"), "error: line 1:3: unexpected char: ';'");
  EXPECT_EQ(errorOf("5e+"), "error: line 1:4: unexpected char: EOF");
}

TEST(Lexer, HexadecimalNumbers) {
  EXPECT_EQ(lex("0x1F").front(), (Token{T::HEXNUMBER, "1F", 1}));
  EXPECT_EQ(lex("0X1F"),
            (std::vector<Token>{{T::INTEGER, "0", 1}, {T::ID, "X1F", 1}, {kEof, "", 1}}));
  EXPECT_EQ(errorOf("0x;"), "error: line 1:3: unexpected char: ';'");
}

TEST(Lexer, Strings) {
  EXPECT_EQ(lex("\"a\\\"b\"").front(), (Token{T::STRING_LITERAL, "a\\\"b", 1}));
  EXPECT_EQ(lex("'it\\'s'").front(), (Token{T::QUOTED_STRING, "it\\'s", 1}));
  EXPECT_EQ(lex("'say \"hi\"'").front(), (Token{T::QUOTED_STRING, "say \"hi\"", 1}));
  EXPECT_EQ(errorOf("\"a\\nb\""), "error: line 1:4: expecting '\"', found 'n'");
  EXPECT_EQ(errorOf("'abc"), "error: line 1:5: expecting ''', found 'EOF'");
}

TEST(Lexer, LineBreaksInsideStringsAreNotCounted) {
  const auto tokens = lex("\"a\nb\" x");
  EXPECT_EQ(tokens[0].text, "a\nb");
  EXPECT_EQ(tokens[1], (Token{T::ID, "x", 1}));
}

TEST(Lexer, CommentsAreSkipped) {
  EXPECT_EQ(lex("# one\n// two\n/* three\n* / */ x"),
            (std::vector<Token>{{T::ID, "x", 4}, {kEof, "", 4}}));
  EXPECT_EQ(tokenTypes("a /**/ b /***/ c"), (std::vector<int>{T::ID, T::ID, T::ID, kEof}));
}

TEST(Lexer, LineCommentsNeedTheirLineBreak) {
  EXPECT_EQ(errorOf("x // no line break"), "error: line 1:19: unexpected char: EOF");
  EXPECT_EQ(errorOf("x # no line break"), "error: line 1:18: unexpected char: EOF");
  EXPECT_EQ(errorOf("x // with\n"), "");
  EXPECT_EQ(errorOf("/* open"), "error: line 1:8: expecting '*', found 'EOF'");
}

TEST(Lexer, LineBreaksOfEveryKind) {
  EXPECT_EQ(lex("a\r\nb\rc\nd\n\re").back().line, 6);
  EXPECT_EQ(lex("a\r\nb")[1].line, 2);
  EXPECT_EQ(lex("a\n\rb")[1].line, 3);
  EXPECT_EQ(lex("/*\r\n\r\n*/ a")[0].line, 3);
}

TEST(Lexer, ControlAndHighBytesAreWhiteSpace) {
  EXPECT_EQ(tokenTypes("a\x03\t\v\f\x1f\x7f\xa0\xffz"), (std::vector<int>{T::ID, T::ID, kEof}));
}

TEST(Lexer, UnexpectedCharacters) {
  EXPECT_EQ(errorOf("x = 1 $"), "error: line 1:7: unexpected char: '$'");
  EXPECT_EQ(errorOf("\n @"), "error: line 2:2: unexpected char: '@'");
  EXPECT_EQ(errorOf("\\"), "error: line 1:1: unexpected char: '\\'");
  EXPECT_EQ(errorOf("`"), "error: line 1:1: unexpected char: '`'");
  EXPECT_EQ(errorOf("\x02"), "error: line 1:1: unexpected char: 0x02");
  // A zero byte inside the text is an error, not its end.
  EXPECT_EQ(errorOf(std::string("x\0y", 3)), "error: line 1:2: unexpected char: 0x00");
}

TEST(Lexer, TokensBeforeAnErrorAreDelivered) {
  std::string error;
  const auto tokens = lex("a b $", &error);
  EXPECT_EQ(tokens.size(), 2u);
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace lang::testing
