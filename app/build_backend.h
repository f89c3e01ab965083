#pragma once

#include <memory>

namespace engine {
class Fractal;
class FrameBuffer;
}  // namespace engine

namespace app {

// What a document needs from the scene language to build: a scene of the
// right type for the script (null when the script cannot even be scanned),
// and one run of the script into that scene. Called on the interface thread
// and on the build thread respectively.
class BuildBackend {
 public:
  virtual ~BuildBackend() = default;
  virtual std::unique_ptr<engine::Fractal> createScene(engine::FrameBuffer& frameBuffer) = 0;
  virtual bool run(engine::Fractal& scene) = 0;
};

}  // namespace app
