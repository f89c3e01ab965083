#pragma once

#include <map>
#include <string>

#include <antlr/LLkParser.hpp>

#include "engine/fractal.h"
#include "set_builder.h"
#include "var.h"

namespace lang {

// Base of the generated FractalParser: the interpreter's state and the
// effects its grammar actions call. The script runs while it is parsed;
// while suppressDepth is above 0 the parser only reads.
class ParserCore : public antlr::LLkParser {
 public:
  using antlr::LLkParser::LLkParser;

  // The scene that the script fills; null for the type pre-scan.
  void attachScene(engine::Fractal* target) { scene = target; }

  int suppressDepth = 0;
  bool frameSaved = false;  // a "save_frame" handed a frame over (or occurs, in the pre-scan)
  int frameRate = 0;        // of the last "fps"
  bool cameraSeen = false;
  bool lightAdded = false;
  bool setStatementSeen = false;
  engine::Fractal* scene = nullptr;
  std::map<std::string, Var> variables;
  SetNames setNames;
  std::string firstError;
  int errorLine = -1;

  // The root set has members: "build" statements gave something to draw.
  bool hasSetsToRender() const;
  // Prints "error: set '<name>' is used but not defined" for every name whose
  // set has no member, in name order; true when there was one.
  bool reportUndefinedSets() const;

  void reportError(const antlr::RecognitionException& ex) override;
  void reportError(const std::string& message) override;

 protected:
  // Deeply nested text would exhaust the stack of the recursive rules; every
  // recursive rule holds one of these while it runs.
  class NestingGuard {
   public:
    explicit NestingGuard(ParserCore& parser);
    ~NestingGuard() { --parser_.nesting_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

   private:
    ParserCore& parser_;
  };

  // Statements act: not suppressed and not canceled.
  bool executing() const { return suppressDepth == 0 && !(scene && scene->canceled); }
  // Degrees to radians, or 1 when the script chose radians.
  double angleFactor() const;
  SetBuilder sets() { return SetBuilder(*scene, setNames, variables); }

  // The value of a variable mention with its increments; defines an unknown
  // variable as 0. `lvalue` is the variable unless it was incremented.
  double readVariable(const std::string& name, int pre, int post, int line, Var*& lvalue);
  // "=" or a compound assignment, given by its token type.
  void storeAssignment(Var& target, int operatorType, double right);
  // "rnd": the generator's value as a fraction, then one step.
  double nextRandomUnit();

  void echoNumber(double value);
  // "randomize"/"randState": seeds a generator and prints the statement.
  void seedRandom(const antlr::RefToken& keyword, double value);
  // After a camera statement's items: the automatic camera and the checks.
  void finishCamera(const antlr::RefToken& keyword, bool position, bool direction, bool vertical);
  // After a light statement's items: checks and appends the light.
  void addLight(engine::Light light, const antlr::RefToken& at, bool color, bool position,
                bool direction);
  // "save_frame": renders the sets and hands the frame over.
  void saveFrame(const antlr::RefToken& at);

 private:
  int nesting_ = 0;
};

}  // namespace lang
