#include "parser_core.h"

#include <cmath>
#include <iostream>

#include "FractalParserTokenTypes.hpp"
#include "engine/frame_buffer.h"
#include "script_error.h"
#include "values.h"

namespace lang {

using Tokens = FractalParserTokenTypes;

namespace {

// Far beyond what scripts nest (about 85 parentheses in one another, or 256
// blocks), and at most about a megabyte of stack even with the sanitizers.
constexpr int kMaxNesting = 256;
constexpr double kRadiansPerDegree = 0.017453292519943295;

}  // namespace

ParserCore::NestingGuard::NestingGuard(ParserCore& parser) : parser_(parser) {
  if (++parser_.nesting_ > kMaxNesting) {
    --parser_.nesting_;
    raiseAt(parser_.LT(1), "nesting too deep");
  }
}

bool ParserCore::hasSetsToRender() const {
  return scene && scene->rootSet() && scene->rootSet()->defined();
}

bool ParserCore::reportUndefinedSets() const {
  bool any = false;
  for (const auto& [name, set] : setNames) {
    if (set->defined()) continue;
    std::cerr << "error: set '" << name << "' is used but not defined" << std::endl;
    any = true;
  }
  return any;
}

void ParserCore::reportError(const antlr::RecognitionException& ex) {
  if (firstError.empty()) {
    firstError = ex.toString();
    errorLine = ex.getLine();
  }
  antlr::LLkParser::reportError(ex);
}

void ParserCore::reportError(const std::string& message) {
  if (firstError.empty())
    firstError =
        getFilename().empty() ? "error: " + message : getFilename() + ": error: " + message;
  antlr::LLkParser::reportError(message);
}

double ParserCore::angleFactor() const {
  return scene && scene->render.useRadians ? 1.0 : kRadiansPerDegree;
}

double ParserCore::readVariable(const std::string& name, int pre, int post, int line,
                                Var*& lvalue) {
  if (!executing()) {
    lvalue = nullptr;
    return pre;
  }
  const auto [entry, inserted] = variables.try_emplace(name);
  Var& variable = entry->second;
  const double value = (variable.isReal() ? variable.toReal() : 0.0) + pre;
  variable.setReal(value + post);
  if (pre == 0 && post == 0) {
    lvalue = &variable;
    return value;
  }
  lvalue = nullptr;
  if (inserted)
    std::cout << "warning: line " << line << ": variable '" << name << "' is undefined"
              << std::endl;
  return value;
}

void ParserCore::requireLvalue(const Var* target, const antlr::RefToken& op) const {
  if (executing() && !target) raiseAt(op, "not a l-value in assigment");
}

void ParserCore::storeAssignment(Var* variable, int operatorType, double right) {
  if (!executing()) return;
  Var& target = *variable;
  if (operatorType == Tokens::ASSIGN) {
    target.setReal(right);
    return;
  }
  const double old = target.toReal();
  switch (operatorType) {
    case Tokens::PLUS_ASSIGN:
      target.setReal(old + right);
      break;
    case Tokens::MINUS_ASSIGN:
      target.setReal(old - right);
      break;
    case Tokens::STAR_ASSIGN:
      target.setReal(old * right);
      break;
    case Tokens::DIV_ASSIGN:
      target.setReal(old / right);
      break;
    case Tokens::MOD_ASSIGN:
      target.setReal(std::fmod(old, right));
      break;
    case Tokens::POW_ASSIGN:
      target.setReal(power(old, right));
      break;
  }
}

double ParserCore::randomUpTo(double limit) {
  if (!executing()) return 0.0;
  engine::RandomState& random = scene->frameBuffer->randomState;
  const double unit = random.unit();
  random.next();
  return unit * limit;
}

void ParserCore::echoText(const antlr::RefToken& text) {
  if (executing()) std::cout << text->getText();
}

void ParserCore::echoNumber(double value) {
  if (!executing()) return;
  // The precision stays for everything later written to the stream.
  std::cout.precision(18);
  std::cout << value;
}

void ParserCore::endEcho() {
  if (executing()) std::cout << std::endl;
}

void ParserCore::seedRandom(const antlr::RefToken& keyword, double value) {
  if (!executing()) return;
  if (keyword->getType() == Tokens::LITERAL_randomize)
    scene->frameBuffer->randomState.seed(value);
  else
    scene->sceneRandomState.seed(value);
  const std::streamsize old = std::cout.precision(14);
  std::cout << keyword->getText() << '(' << value << ')' << std::endl;
  std::cout.precision(old);
}

}  // namespace lang
