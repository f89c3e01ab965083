#pragma once

#include <atomic>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include <antlr/CharScanner.hpp>

namespace lang {

class MemoryInputBuffer;

// Base of the generated FractalLexer: alias substitution and the wording of
// mismatched characters. An alias body is not copied; each use moves the
// input back to the body and, at the body's ';', returns to the use. The
// scanner must read from a MemoryInputBuffer.
class ScannerCore : public antlr::CharScanner {
 public:
  using antlr::CharScanner::CharScanner;

  // As the runtime's, but the error reads "expecting ';', found 'x'".
  using antlr::CharScanner::match;
  void match(int c) override;
  void match(const char* s) override;

  // Every token carries the offset of its first character (ScriptToken).
  void resetText() override;
  antlr::RefToken makeToken(int type) override;

  // Once `canceled` is set, the next character read raises BuildCanceled:
  // a stop does not wait for the end of a long comment or token either.
  void stopWhen(const std::atomic<bool>& canceled) { canceled_ = &canceled; }
  void consume() override;

  // An alias defined before the script: its body of `length` bytes, ended by
  // ';', lies at `offset` of the input buffer, after the script's end.
  void predefineAlias(const std::string& name, size_t offset, size_t length);

 protected:
  // Records `name` with its body starting at the current position; the body
  // is read next, and finishAlias notes where it ended.
  void defineAlias(const std::string& name);
  void finishAlias(const std::string& name);
  // Starts reading the body of `name`; false when `name` is no alias. Raises
  // the recursion error when `name` is being substituted already.
  bool beginSubstitution(const std::string& name);
  // At a ';': ends the innermost substitution and returns to its use; false
  // when none is in progress (the ';' is a token then).
  bool endSubstitution();

 private:
  struct Position {
    size_t offset = 0;
    int line = 1;
    int column = 1;
  };
  struct AliasRecord {
    Position body;
    size_t bodyLength = 0;
    bool active = false;
  };
  struct Substitution {
    Position returnTo;
    AliasRecord* alias;
  };

  MemoryInputBuffer& memory();
  Position here();
  void moveTo(const Position& p);

  std::map<std::string, AliasRecord> aliases_;
  std::vector<Substitution> substitutions_;
  // Text read through substitutions so far: nested aliases can multiply it
  // beyond any use, so it is limited.
  size_t substitutedBytes_ = 0;
  size_t tokenStart_ = 0;
  const std::atomic<bool>* canceled_ = nullptr;
};

}  // namespace lang
