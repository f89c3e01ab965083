#pragma once

#include <string>

#include <antlr/ANTLRException.hpp>
#include <antlr/SemanticException.hpp>
#include <antlr/Token.hpp>

namespace lang {

// Raises a script error located at a token: the build prints it as
// "error: line L:C: message".
// Ends the parse when the user stopped the build: the rest of the script is
// not read, and the build prints no error for it.
class BuildCanceled : public antlr::ANTLRException {
 public:
  BuildCanceled() : antlr::ANTLRException("canceled by user") {}
};

[[noreturn]] inline void raiseAt(const antlr::RefToken& at, const std::string& message) {
  throw antlr::SemanticException(message, "", at->getLine(), at->getColumn());
}

}  // namespace lang
