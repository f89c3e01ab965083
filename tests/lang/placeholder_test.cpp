#include <sstream>

#include <gtest/gtest.h>

#include "FractalLexer.hpp"
#include "FractalParser.hpp"

TEST(Grammar, GeneratedParserReadsStatements) {
  std::istringstream in("a; b;");
  lang::FractalLexer lexer(in);
  lang::FractalParser parser(lexer);
  EXPECT_NO_THROW(parser.program());
}
