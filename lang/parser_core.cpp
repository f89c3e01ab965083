#include "parser_core.h"

#include <cmath>
#include <iostream>

#include "FractalParserTokenTypes.hpp"
#include "engine/frame_buffer.h"
#include "script_error.h"
#include "script_token.h"
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
  if (parser_.scene && parser_.scene->canceled) throw BuildCanceled();
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
  return scene && scene->useRadians ? 1.0 : kRadiansPerDegree;
}

double ParserCore::readVariable(const std::string& name, int pre, int post, int line,
                                Var*& lvalue) {
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

void ParserCore::storeAssignment(Var& target, int operatorType, double right) {
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

double ParserCore::nextRandomUnit() {
  engine::RandomState& random = scene->frameBuffer->randomState;
  const double unit = random.unit();
  random.next();
  return unit;
}

void ParserCore::echoNumber(double value) {
  // The precision stays for everything later written to the stream.
  std::cout.precision(18);
  std::cout << value;
}

void ParserCore::seedRandom(const antlr::RefToken& keyword, double value) {
  if (keyword->getType() == Tokens::LITERAL_randomize)
    scene->frameBuffer->randomState.seed(value);
  else
    scene->sceneRandomState.seed(value);
  const std::streamsize old = std::cout.precision(14);
  std::cout << keyword->getText() << '(' << value << ')' << std::endl;
  std::cout.precision(old);
}

void ParserCore::noteCameraStatement(const antlr::RefToken& keyword) {
  if (scene->frameBuffer) scene->frameBuffer->cameraStatementOffset = offsetOf(keyword);
}

void ParserCore::finishCamera(const antlr::RefToken& keyword, bool position, bool direction,
                              bool vertical) {
  if (!direction && executing()) scene->autoCamera = true;
  if (!position) raiseAt(keyword, "camera position required");
  if (!vertical) raiseAt(keyword, "camera vertical direction required");
}

void ParserCore::addLight(engine::Light light, const antlr::RefToken& at, bool color, bool position,
                          bool direction) {
  using engine::LightKind;
  light.kind = position ? (direction ? LightKind::Spot : LightKind::Point) : LightKind::Directional;
  if (!color) raiseAt(at, "color required");
  if (!position && !direction) raiseAt(at, "position or direction required");
  scene->lights.push_back(light);
  lightAdded = true;
}

void ParserCore::saveFrame(const antlr::RefToken& at) {
  if (!hasSetsToRender()) throw Var::varException("no set defined!");
  if (reportUndefinedSets()) throw Var::varException("undefined sets found");
  if (!cameraSeen) throw Var::varException("camera statement not found");
  const bool rendered = scene->renderFrame();
  if (!rendered || scene->canceled)
    raiseAt(at, scene->canceled ? "canceled by user" : "build frame error");
  engine::FrameBuffer& frame = *scene->frameBuffer;
  if (!frame.frameSink || !frame.frameSink(frame)) raiseAt(at, "can't save frame");
  // The next frame is built from scratch; camera and variables stay.
  ++frame.frameCount;
  sets().clearAll();
  scene->lights.clear();
  frameSaved = true;
}

}  // namespace lang
