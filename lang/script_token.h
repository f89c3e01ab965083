#pragma once

#include <cstddef>

#include <antlr/CommonToken.hpp>

namespace lang {

// A token that knows where its text starts in the script, so that the
// interpreter can point back into the text it ran.
class ScriptToken : public antlr::CommonToken {
 public:
  size_t offset = 0;  // bytes from the start of the script
};

// Where `token` starts in the script; 0 for a token of another kind.
inline size_t offsetOf(const antlr::RefToken& token) {
  const auto* located = dynamic_cast<const ScriptToken*>(token.get());
  return located ? located->offset : 0;
}

}  // namespace lang
