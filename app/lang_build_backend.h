#pragma once

#include "build_backend.h"

namespace app {

// Builds with the scene language's build driver.
class LangBuildBackend : public BuildBackend {
 public:
  std::unique_ptr<engine::Fractal> createScene(engine::FrameBuffer& frameBuffer) override;
  bool run(engine::Fractal& scene) override;
};

}  // namespace app
