#include "token_listing.h"

#include "FractalLexer.hpp"
#include "lang/memory_input_buffer.h"

namespace cli {

namespace {

std::string escaped(const std::string& text) {
  std::string result;
  for (const char c : text) {
    if (c == '\r')
      result += "\\r";
    else if (c == '\n')
      result += "\\n";
    else if (c == '\t')
      result += "\\t";
    else
      result += c;
  }
  return result;
}

}  // namespace

bool listTokens(const std::string& script, std::ostream& out, std::ostream& err) {
  lang::MemoryInputBuffer input(script);
  lang::FractalLexer lexer(input);
  try {
    for (;;) {
      const antlr::RefToken token = lexer.nextToken();
      out << token->getLine() << '\t' << token->getType() << '\t' << escaped(token->getText())
          << '\n';
      if (token->getType() == antlr::Token::EOF_TYPE) return true;
    }
  } catch (const antlr::ANTLRException& e) {
    out.flush();
    err << "error: " << e.toString() << std::endl;
  }
  return false;
}

}  // namespace cli
