#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <antlr/TokenBuffer.hpp>
#include "../engine/captured_output.h"
#include "FractalLexer.hpp"
#include "FractalParser.hpp"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "lang/memory_input_buffer.h"

namespace lang::testing {

using engine::testing::CapturedOutput;

// Stands for the user's stop command: sets the cancel flag as soon as the
// script writes anything.
class CancelOnOutput : public std::streambuf {
 public:
  explicit CancelOnOutput(std::atomic<bool>& canceled)
      : canceled_(canceled), old_(std::cout.rdbuf(this)) {}
  ~CancelOnOutput() override { std::cout.rdbuf(old_); }

 protected:
  int overflow(int c) override {
    canceled_ = true;
    return c;
  }

 private:
  std::atomic<bool>& canceled_;
  std::streambuf* old_;
};

struct Token {
  int type;
  std::string text;
  int line;
};

// A value to fifteen significant digits, so that rounding in the last bits
// does not show; "nan" for any NaN.
std::string number(double v);

// Every token of a text up to the end, or up to the error (whose text, as the
// build prints it after "error: ", goes to `error`).
std::vector<Token> lex(const std::string& text, std::string* error = nullptr);

// A token buffer that tells whether a loop left a mark behind.
class InspectableTokenBuffer : public antlr::TokenBuffer {
 public:
  using antlr::TokenBuffer::TokenBuffer;
  bool marked() const { return nMarkers != 0; }
};

// Runs the statements of a script on a fresh scene, with none of the build
// driver's checks and render after it; keeps everything for inspection.
class Interpreter {
 public:
  explicit Interpreter(const std::string& text,
                       engine::FractalType type = engine::FractalType::Affine);
  // The error the run ended with, as the build prints it ("error: ..."), or
  // "" when the script ran to its end or was stopped.
  std::string run();

  std::string out() const { return output_.out(); }
  std::string err() const { return output_.err(); }
  bool exists(const std::string& name) const { return parser.variables.count(name) != 0; }
  // Every mark a loop set was released again.
  bool marksBalanced() const { return !tokens_.marked(); }
  // The numbers of the space-separated variables, "-" for one that does
  // not exist: "1 2.5 -".
  std::string values(const std::string& names) const;
  // The terms of a named set ("" for the root) as maps and targets, with the
  // defaults the table filled in: "translate(1,0,0) A + scale(0.5,0.5,0.5) A".
  // An anonymous set of several members is shown in parentheses; "@" stands
  // for an anonymous set that is being shown already.
  std::string terms(const std::string& setName) const;

  engine::FrameBuffer frameBuffer;
  std::unique_ptr<engine::Fractal> scene;

 private:
  std::string text_;
  CapturedOutput output_;
  MemoryInputBuffer input_;
  FractalLexer lexer_;
  InspectableTokenBuffer tokens_;

 public:
  FractalParser parser;
};

// The square |x|, |y| <= 1 at z = 0, seen face-on from z = -5.
inline const std::string kSquare =
    "camera position(0, 0, -5) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "set S = translate(-0.5, -0.5, 0) 0.5 S + translate(0.5, -0.5, 0) 0.5 S\n"
    "      + translate(-0.5, 0.5, 0) 0.5 S + translate(0.5, 0.5, 0) 0.5 S;\n";

// A script run on a fresh scene that draws on a width x height frame; the
// script must run to its end.
std::unique_ptr<Interpreter> sceneOf(const std::string& script, uint32_t width = 40,
                                     uint32_t height = 30,
                                     engine::FractalType type = engine::FractalType::Affine);

// The error a script ends with (see Interpreter::run).
std::string errorOf(const std::string& script);

// One whole build as the application runs it: pre-scan, scene, driver.
struct BuildResult {
  bool built = false;
  bool drewNothing = false;
  std::string out, err;
  std::unique_ptr<engine::Fractal> scene;
};
BuildResult build(const std::string& text, engine::FrameBuffer* frameBuffer = nullptr);

}  // namespace lang::testing
