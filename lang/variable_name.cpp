#include "variable_name.h"

#include <algorithm>
#include <cctype>

#include "FractalLexer.hpp"
#include "memory_input_buffer.h"

namespace lang {

bool isVariableName(const std::string& name) {
  const auto isWordChar = [](unsigned char c) { return std::isalnum(c) || c == '_'; };
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])) ||
      !std::all_of(name.begin(), name.end(), isWordChar))
    return false;
  // The keyword table is the lexer's: a keyword comes back with a type of its own.
  MemoryInputBuffer input(name);
  FractalLexer lexer(input);
  return lexer.nextToken()->getType() == FractalLexer::ID;
}

}  // namespace lang
