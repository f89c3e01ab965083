#pragma once

#include <map>
#include <string>

#include <antlr/LLkParser.hpp>

#include "engine/fractal.h"
#include "light_items.h"
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
  void attachScene(engine::Fractal* scene) { this->scene = scene; }

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

  // ---- Expressions -----------------------------------------------------------

  // The value of a variable mention with its increments; defines an unknown
  // variable as 0. `lvalue` is the variable unless it was incremented. While
  // suppressed: the prefix increment's value and no variable.
  double readVariable(const std::string& name, int pre, int post, int line, Var*& lvalue);
  // An assignment's left side must be a variable.
  void requireLvalue(const Var* target, const antlr::RefToken& op) const;
  // "=" or a compound assignment, given by its token type.
  void storeAssignment(Var* target, int operatorType, double right);
  // "rnd": the generator's value as a fraction of `limit`, then one step; 0
  // while suppressed.
  double randomUpTo(double limit);

  // ---- Statements ------------------------------------------------------------
  // Every effect below happens only while executing, unless said otherwise.

  void echoText(const antlr::RefToken& text);
  void echoNumber(double value);
  void endEcho();
  // "randomize"/"randState": seeds a generator and prints the statement.
  void seedRandom(const antlr::RefToken& keyword, double value);

  void setAngleUnit(bool radians);
  void setTracingDepth(int depth);
  void setAntialiasing(int factor);
  // "section": the plane's normal x, y, z and its offset.
  void setSection(const double* plane);
  // "fps": also while suppressed.
  void setFrameRate(double value);
  // "save_frame": renders the sets and hands the frame over.
  void saveFrame(const antlr::RefToken& at);

  // The camera statement: its start (noted also while suppressed), its items
  // and, after them, the automatic camera and the checks.
  void beginCamera();
  void setCameraPosition(const double* xyz);
  void setCameraDirection(const double* xyz);
  void setCameraVertical(const double* xyz);
  void setCameraFov(double angle);
  void setCameraStereo(double separation, double focalDistance);
  void finishCamera(const antlr::RefToken& keyword, bool position, bool direction, bool vertical);

  // After a light statement's items: checks and appends the light.
  void addLight(const LightItems& items, const antlr::RefToken& at);
  void setAmbientLight(const engine::Rgb& color);
  void setBackground(const engine::Rgb& color);
  void setReflectBackground(double value);
  void clearLights();

  // ---- Set statements ---------------------------------------------------------
  // SetBuilder's operations while executing; otherwise no set, no member and
  // the expression's value as it was.

  void requireSet(const SetValue& value, const antlr::RefToken& at);
  engine::SetMember* beginBuild();
  // The material of a build's member; null when the build did not run.
  engine::Material* newBuildMaterial(engine::SetMember* built);
  void clearSets();
  engine::IfsSet* beginDefinition(const SetValue& left, const antlr::RefToken& at);
  SetValue endDefinition(const SetValue& left, const SetValue& right, const antlr::RefToken& at);
  engine::IfsSet* beginExtension(const SetValue& left, const antlr::RefToken& at);
  SetValue endExtension(const SetValue& left, engine::IfsSet* extended, const SetValue& right,
                        const antlr::RefToken& at);
  SetValue addTerm(const SetValue& sum, const SetValue& term, const antlr::RefToken& at);
  engine::IfsSet* continuation(const SetValue& previous, const antlr::RefToken& at);
  SetValue compose(const SetValue& first, const SetValue& next);
  void setSelectionWeight(SetValue& term, double weight);
  void setColorKey(SetValue& term, int key);
  engine::IfsSet* openGroup(engine::IfsSet* receiving, engine::SetMember*& member);
  SetValue closeGroup(engine::SetMember* member, const SetValue& inside);
  // "%n" after a group: the group picks n of its members at random.
  void setSelectionCount(engine::IfsSet* group, int count);
  SetValue mapFactor(engine::IfsSet* receiving, const engine::MapSpec& spec);
  SetValue nameFactor(engine::IfsSet* receiving, const std::string& name,
                      const antlr::RefToken& at);

 private:
  int nesting_ = 0;
};

}  // namespace lang
