#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace engine::testing {

// Collects what is written on std::cout while it lives.
class CaptureStdout {
 public:
  CaptureStdout() : old_(std::cout.rdbuf(text_.rdbuf())) {}
  ~CaptureStdout() { std::cout.rdbuf(old_); }
  CaptureStdout(const CaptureStdout&) = delete;
  CaptureStdout& operator=(const CaptureStdout&) = delete;
  std::string text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* old_;
};

}  // namespace engine::testing
