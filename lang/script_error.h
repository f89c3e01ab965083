#pragma once

#include <string>

#include <antlr/SemanticException.hpp>
#include <antlr/Token.hpp>

namespace lang {

// Raises a script error located at a token: the build prints it as
// "error: line L:C: message".
[[noreturn]] inline void raiseAt(const antlr::RefToken& at, const std::string& message) {
  throw antlr::SemanticException(message, "", at->getLine(), at->getColumn());
}

}  // namespace lang
