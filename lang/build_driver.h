#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "var.h"

namespace engine {
class Fractal;
class FrameBuffer;
}  // namespace engine

namespace lang {

// One run of a document's script: the script in the scene's frame buffer is
// parsed and executed into the scene, the scene is checked and rendered.
// Script errors are printed on std::cerr as "error: ..." lines; echo output
// and warnings go to std::cout.
class BuildDriver {
 public:
  // How far a run goes after the script: the whole render, or only the
  // compilation of the sets (no camera check, no camera set-up, no tracing).
  enum class Stage { Render, Prepare };

  // What every run starts with, as if the script's first lines made it:
  // variables, and aliases (the language has no string variables, so a
  // string stands for a name by substitution).
  struct Definitions {
    std::map<std::string, Var> variables;
    std::map<std::string, std::string> aliases;  // name to body, without the ';'
  };

  explicit BuildDriver(Stage stage = Stage::Render, Definitions definitions = {})
      : stage_(stage), definitions_(std::move(definitions)) {}

  // True when an image was rendered (by the driver or by the script's
  // "save_frame" statements) and the build was neither canceled nor failed.
  // With Stage::Prepare: true when the sets were compiled. Running out of
  // memory fails the build with the scene's renderError "Not enough memory".
  bool run(engine::Fractal& scene);
  // After run: the script ran without an error but has nothing to draw (no
  // camera, light or set statement), so run returned false silently.
  bool drewNothing() const { return drewNothing_; }

  // Type pre-scan of the script text: 1 when the conformal type is needed,
  // 0 otherwise, -2 when the parse failed (the error is printed). Also stores
  // savesFrames, framesPerSecond and errorLine in the frame buffer.
  static int detectFractalType(engine::FrameBuffer& frameBuffer);

 private:
  bool execute(engine::Fractal& scene);

  Stage stage_;
  Definitions definitions_;
  bool drewNothing_ = false;
};

// The type pre-scan followed by the scene factory: a new scene for the script
// in the frame buffer (not yet attached to it), or null when the pre-scan failed.
std::unique_ptr<engine::Fractal> createScene(engine::FrameBuffer& frameBuffer);

}  // namespace lang
