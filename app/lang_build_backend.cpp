#include "lang_build_backend.h"

#include "engine/fractal.h"
#include "lang/build_driver.h"

namespace app {

std::unique_ptr<engine::Fractal> LangBuildBackend::createScene(engine::FrameBuffer& frameBuffer) {
  return lang::createScene(frameBuffer);
}

bool LangBuildBackend::run(engine::Fractal& scene) {
  return lang::BuildDriver().run(scene);
}

}  // namespace app
