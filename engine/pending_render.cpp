// Scaffolding: placeholders for the renderer that is being written.
// Every function here fails; the real implementations replace this file.
#include "fractal.h"

namespace engine {

void Fractal::setupCamera() {
  renderError = "renderer not available";
  canceled = true;
}
bool Fractal::renderFrame() {
  if (!prepare()) return false;
  setupCamera();
  return false;
}
std::string Fractal::pointAtPixel(int, int) const { return {}; }

}  // namespace engine
