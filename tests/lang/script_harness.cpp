#include "script_harness.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

#include "lang/build_driver.h"
#include "lang/script_error.h"

namespace lang::testing {

std::vector<Token> lex(const std::string& text, std::string* error) {
  MemoryInputBuffer input(text);
  FractalLexer lexer(input);
  std::vector<Token> tokens;
  try {
    for (;;) {
      const antlr::RefToken t = lexer.nextToken();
      tokens.push_back({t->getType(), t->getText(), t->getLine()});
      if (t->getType() == antlr::Token::EOF_TYPE) break;
    }
  } catch (const antlr::ANTLRException& e) {
    if (error) *error = "error: " + e.toString();
  }
  return tokens;
}

std::vector<int> tokenTypes(const std::string& text, std::string* error) {
  std::vector<int> types;
  for (const Token& t : lex(text, error)) types.push_back(t.type);
  return types;
}

Interpreter::Interpreter(const std::string& text, engine::FractalType type)
    : scene(engine::createFractal(int(type))),
      text_(text),
      input_(text_),
      lexer_(input_),
      tokens_(lexer_),
      parser(tokens_) {
  scene->frameBuffer = &frameBuffer;
  parser.attachScene(scene.get());
}

std::string Interpreter::run() {
  try {
    parser.program();
  } catch (const BuildCanceled&) {
    return "";  // a stop is no error
  } catch (const antlr::ANTLRException& e) {
    return "error: " + e.toString();
  } catch (const std::exception& e) {
    return std::string("error: ") + e.what();
  }
  return "";
}

double Interpreter::value(const std::string& name) const {
  const auto found = parser.variables.find(name);
  if (found == parser.variables.end()) return std::numeric_limits<double>::quiet_NaN();
  return found->second.toReal();
}

std::string Interpreter::values(const std::string& names) const {
  std::istringstream in(names);
  std::string result;
  for (std::string name; in >> name;) {
    if (!result.empty()) result += ' ';
    if (!exists(name)) {
      result += '-';
      continue;
    }
    char digits[32];
    result.append(digits, std::to_chars(digits, digits + sizeof digits, value(name)).ptr);
  }
  return result;
}

std::string errorOf(const std::string& script) {
  return Interpreter(script).run();
}

BuildResult build(const std::string& text, engine::FrameBuffer* frameBuffer) {
  engine::FrameBuffer local;
  engine::FrameBuffer& frame = frameBuffer ? *frameBuffer : local;
  frame.scriptText = text;
  BuildResult result;
  CapturedOutput output;
  result.scene = createScene(frame);
  if (result.scene) {
    result.sceneCreated = true;
    result.scene->frameBuffer = &frame;
    BuildDriver driver;
    result.built = driver.run(*result.scene);
    result.drewNothing = driver.drewNothing();
    result.scene->frameBuffer = nullptr;
  }
  result.out = output.out();
  result.err = output.err();
  return result;
}

}  // namespace lang::testing
