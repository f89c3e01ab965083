#include "build_driver.h"

#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "FractalLexer.hpp"
#include "FractalParser.hpp"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "memory_input_buffer.h"

namespace lang {

namespace {

// Every run starts from the default settings and no sets.
void resetScene(engine::Fractal& scene) {
  scene.camera = {};
  scene.render = {};
  scene.lighting = {};
  scene.clearSets();
  scene.clearMapTable();
}

}  // namespace

bool BuildDriver::run(engine::Fractal& scene) {
  drewNothing_ = false;
  scene.canceled = false;
  try {
    return execute(scene);
  } catch (const std::bad_alloc&) {
    // Reported like the renderer's own errors: the build fails, the program goes on.
    scene.fail("Not enough memory");
  } catch (const antlr::ANTLRException& e) {
    // A cancel stops a frame render with an error that is no news to the user.
    if (!scene.canceled) std::cerr << "error: " << e.toString() << std::endl;
  } catch (const Var::varException& e) {
    std::cerr << "error: " << e.what() << std::endl;
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << std::endl;
  }
  return false;
}

bool BuildDriver::execute(engine::Fractal& scene) {
  if (!scene.frameBuffer) throw std::invalid_argument("the scene has no frame buffer");
  engine::FrameBuffer& frameBuffer = *scene.frameBuffer;
  // The alias bodies follow the script, each ended by ';' as a definition's is.
  std::string text = frameBuffer.scriptText;
  std::vector<size_t> bodyOffsets;
  for (const auto& alias : definitions_.aliases) {
    text += '\n';
    bodyOffsets.push_back(text.size());
    text += alias.second + ';';
  }
  MemoryInputBuffer input(text, frameBuffer.scriptText.size());
  FractalLexer lexer(input);
  auto offset = bodyOffsets.begin();
  for (const auto& [name, body] : definitions_.aliases)
    lexer.predefineAlias(name, *offset++, body.size() + 1);
  lexer.stopWhen(scene.canceled);
  FractalParser parser(lexer);
  frameBuffer.randomState.next();
  frameBuffer.frameCount = 0;
  frameBuffer.cameraStatementOffset = 0;
  parser.attachScene(&scene);
  resetScene(scene);
  parser.variables = definitions_.variables;

  parser.program();

  if (!parser.cameraSeen && stage_ == Stage::Render) {
    if (parser.lightAdded || parser.setStatementSeen)
      throw Var::varException("camera statement not found");
    drewNothing_ = !scene.canceled;
    return false;
  }
  frameBuffer.errorLine = parser.errorLine;
  if (parser.errorLine >= 0 || !scene.renderError.empty() || scene.canceled) return false;
  if (parser.frameSaved && stage_ == Stage::Render) return true;
  if (!parser.hasSetsToRender()) throw Var::varException("no set defined!");
  if (parser.reportUndefinedSets()) return false;
  const bool done = stage_ == Stage::Render ? scene.renderFrame() : scene.prepare();
  return done && scene.renderError.empty() && !scene.canceled;
}

int BuildDriver::detectFractalType(engine::FrameBuffer& frameBuffer) {
  try {
    MemoryInputBuffer input(frameBuffer.scriptText);
    FractalLexer lexer(input);
    FractalParser parser(lexer);
    const int type = parser.typeScan();
    frameBuffer.framesPerSecond = parser.frameRate;
    frameBuffer.errorLine = parser.errorLine;
    frameBuffer.savesFrames = parser.frameSaved;
    return type > 0 ? 1 : 0;
  } catch (const std::bad_alloc&) {
    std::cerr << "error: Not enough memory" << std::endl;
  } catch (const antlr::ANTLRException& e) {
    std::cerr << "error: " << e.toString() << std::endl;
  } catch (const std::exception& e) {
    std::cerr << "exception: " << e.what() << std::endl;
  }
  return -2;
}

std::unique_ptr<engine::Fractal> createScene(engine::FrameBuffer& frameBuffer) {
  return engine::createFractal(BuildDriver::detectFractalType(frameBuffer));
}

}  // namespace lang
