#include "scanner_core.h"

#include <cstdio>

#include "memory_input_buffer.h"
#include "script_error.h"
#include "script_token.h"

namespace lang {

namespace {

// Far more than any scene script substitutes, and read in about a second.
constexpr size_t kMaxSubstitutedBytes = size_t{4} << 20;

std::string describeChar(int c) {
  if (c == EOF) return "EOF";
  if (c >= 0x20 && c < 0x7F) return std::string(1, char(c));
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", unsigned(c) & 0xFFu);
  return hex;
}

}  // namespace

void ScannerCore::match(int c) {
  const int found = LA(1);
  if (found != c)
    throw antlr::RecognitionException(
        "expecting '" + describeChar(c) + "', found '" + describeChar(found) + "'", getFilename(),
        getLine(), getColumn());
  consume();
}

void ScannerCore::match(const char* s) {
  while (*s) match(static_cast<unsigned char>(*s++));
}

void ScannerCore::consume() {
  if (canceled_ && canceled_->load(std::memory_order_relaxed)) throw BuildCanceled();
  antlr::CharScanner::consume();
}

void ScannerCore::resetText() {
  antlr::CharScanner::resetText();
  tokenStart_ = memory().position();
}

antlr::RefToken ScannerCore::makeToken(int type) {
  auto* token = new ScriptToken;
  token->setType(type);
  token->setLine(inputState->tokenStartLine);
  token->setColumn(inputState->tokenStartColumn);
  token->offset = tokenStart_;
  return antlr::RefToken(token);
}

MemoryInputBuffer& ScannerCore::memory() {
  return dynamic_cast<MemoryInputBuffer&>(getInputBuffer());
}

ScannerCore::Position ScannerCore::here() {
  return {memory().position(), getLine(), getColumn()};
}

void ScannerCore::moveTo(const Position& p) {
  memory().seek(p.offset);
  setLine(p.line);
  setColumn(p.column);
}

void ScannerCore::defineAlias(const std::string& name) {
  // A redefinition while the alias is being read keeps it active, so a body
  // that redefines its own alias still cannot substitute it endlessly.
  aliases_[name].body = here();
}

void ScannerCore::predefineAlias(const std::string& name, size_t offset, size_t length) {
  aliases_[name] = {{offset, 1, 1}, length, false};
}

void ScannerCore::finishAlias(const std::string& name) {
  AliasRecord& alias = aliases_[name];
  alias.bodyLength = memory().position() - alias.body.offset;
}

bool ScannerCore::beginSubstitution(const std::string& name) {
  const auto found = aliases_.find(name);
  if (found == aliases_.end()) return false;
  AliasRecord& alias = found->second;
  if (alias.active)
    throw antlr::ANTLRException("line " + std::to_string(alias.body.line) +
                                ": recursion found in substitution: " + name);
  substitutedBytes_ += alias.bodyLength;
  if (substitutedBytes_ > kMaxSubstitutedBytes)
    throw antlr::ANTLRException("line " + std::to_string(getLine()) +
                                ": alias substitutions exceed 4 MB at: " + name);
  alias.active = true;
  substitutions_.push_back({here(), &alias});
  moveTo(alias.body);
  return true;
}

bool ScannerCore::endSubstitution() {
  if (substitutions_.empty()) return false;
  const Substitution top = substitutions_.back();
  substitutions_.pop_back();
  top.alias->active = false;
  moveTo(top.returnTo);
  return true;
}

}  // namespace lang
