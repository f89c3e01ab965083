#pragma once

#include <exception>
#include <string>

namespace lang {

// The value of one script variable. A variable is created undefined on first
// mention and becomes real when read or assigned.
class Var {
 public:
  // A script error without a position in the text.
  class varException : public std::exception {
   public:
    explicit varException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

   private:
    std::string message_;
  };

  bool isReal() const { return real_; }
  // The real value; raises "variable is undefined" for an undefined variable.
  double toReal() const {
    if (!real_) throw varException("variable is undefined");
    return value_;
  }
  void setReal(double v) {
    value_ = v;
    real_ = true;
  }

 private:
  double value_ = 0.0;
  bool real_ = false;
};

}  // namespace lang
