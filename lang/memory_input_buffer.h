#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include <antlr/InputBuffer.hpp>

namespace lang {

// The lexer's character source over a script text held in memory. The text
// is never copied and must outlive the buffer. Marks are plain offsets, so the
// lexer can go back to any earlier position (alias bodies are read again).
class MemoryInputBuffer : public antlr::InputBuffer {
 public:
  // The input ends at `end`; the text after it (bodies of aliases defined
  // outside the script) is read only after a seek past `end`.
  explicit MemoryInputBuffer(std::string_view text, size_t end = std::string_view::npos)
      : text_(text), end_(std::min(end, text.size())) {}

  // Lookahead i: the byte at position + i - 1, or EOF past the end.
  int LA(unsigned int i) override {
    const size_t at = position_ + i - 1;
    const size_t limit = position_ <= end_ ? end_ : text_.size();
    return at < limit ? static_cast<unsigned char>(text_[at]) : EOF;
  }
  void consume() override { ++position_; }
  int getChar() override {
    const int c = LA(1);
    consume();
    return c;
  }
  unsigned int mark() override {
    ++marks_;
    return static_cast<unsigned int>(position_);
  }
  void rewind(unsigned int offset) override {
    --marks_;
    position_ = offset;
  }
  bool isMarked() const override { return marks_ != 0; }
  void reset() override {
    position_ = 0;
    marks_ = 0;
  }

  size_t position() const { return position_; }
  void seek(size_t offset) { position_ = offset; }

 private:
  std::string_view text_;
  size_t end_;
  size_t position_ = 0;
  unsigned int marks_ = 0;
};

}  // namespace lang
