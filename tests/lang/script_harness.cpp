#include "script_harness.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "lang/build_driver.h"
#include "lang/script_error.h"

namespace lang::testing {

std::string number(double v) {
  if (std::isnan(v)) return "nan";
  char digits[32];
  std::snprintf(digits, sizeof digits, "%.15g", v);
  return digits;
}

namespace {

std::string mapCall(const engine::MapSpec& spec) {
  static const char* const names[] = {"id",      "scale",   "translate", "rotate",   "stretch",
                                      "inverse", "reflect", "matrix",    "affine2d", "rotate_v",
                                      "weight",  "empty",   "bound"};
  int used = 10;
  while (used > 0 && spec.args[used - 1] == 0) --used;
  std::string call = std::string(names[spec.kind]) + "(";
  for (int i = 0; i < used; ++i) call += (i ? "," : "") + number(spec.args[i]);
  return call + ")";
}

class TermWriter {
 public:
  explicit TermWriter(const Interpreter& s) : s_(s) {}

  std::string set(const engine::IfsSet* set) {
    shown_.insert(set);
    std::string text;
    for (const engine::SetMember* m = set->members; m; m = m->next) {
      if (!text.empty()) text += " + ";
      if (m->mapIndex != 0) text += mapCall(s_.scene->mapTable.at(size_t(m->mapIndex))) + " ";
      text += target(m->target);
      if (m->colorKey) text += " |" + std::to_string(m->colorKey);
      if (m->selectionWeight != 1) text += " {" + number(m->selectionWeight) + "}";
    }
    shown_.erase(set);
    return text;
  }

 private:
  std::string target(const engine::IfsSet* target) {
    for (const auto& [name, set] : s_.parser.setNames)
      if (set == target) return name;
    if (shown_.count(target)) return "@";
    std::string text = target->memberCount() > 1 ? "(" + set(target) + ")" : set(target);
    if (target->selectionCount) text += " %" + std::to_string(target->selectionCount);
    return text;
  }

  const Interpreter& s_;
  std::set<const engine::IfsSet*> shown_;
};

}  // namespace

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

std::string Interpreter::values(const std::string& names) const {
  std::istringstream in(names);
  std::string result;
  for (std::string name; in >> name;) {
    if (!result.empty()) result += ' ';
    result += exists(name) ? number(parser.variables.at(name).toReal()) : "-";
  }
  return result;
}

std::string Interpreter::terms(const std::string& setName) const {
  const engine::IfsSet* set = setName.empty() ? scene->rootSet() : parser.setNames.at(setName);
  return TermWriter(*this).set(set);
}

std::unique_ptr<Interpreter> sceneOf(const std::string& script, uint32_t width, uint32_t height,
                                     engine::FractalType type) {
  auto s = std::make_unique<Interpreter>(script, type);
  s->frameBuffer.requestedWidth = width;
  s->frameBuffer.requestedHeight = height;
  EXPECT_EQ(s->run(), "") << script;
  return s;
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
