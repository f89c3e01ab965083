#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace engine::testing {

// Captures std::cout and std::cerr while it lives and restores the output
// precision after it. Captures nest: the one made last must end first.
class CapturedOutput {
 public:
  CapturedOutput()
      : oldOut_(std::cout.rdbuf(out_.rdbuf())),
        oldErr_(std::cerr.rdbuf(err_.rdbuf())),
        oldPrecision_(std::cout.precision()) {}
  ~CapturedOutput() {
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
    std::cout.precision(oldPrecision_);
  }
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  std::string out() const { return out_.str(); }
  std::string err() const { return err_.str(); }

 private:
  std::ostringstream out_, err_;
  std::streambuf* oldOut_;
  std::streambuf* oldErr_;
  std::streamsize oldPrecision_;
};

}  // namespace engine::testing
