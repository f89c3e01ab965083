// Scaffolding: placeholders for the scene core that is being written.
// Every function here fails; the real implementations replace this file.
#include "affine_map.h"
#include "conformal_map.h"
#include "fractal.h"
#include "trace_context.h"

namespace engine {

bool Fractal::initRoot(TraceContext&) const { return false; }
bool Fractal::prepare() {
  renderError = "scene compilation not available";
  canceled = true;
  return false;
}
bool Fractal::splitNode(TraceContext&, SphereNode&) const { return false; }
bool Fractal::computeBounds() { return false; }
bool TraceContext::expandTopNode(double) { return false; }
void TraceContext::sortNodesByDistance(SphereNode*, SphereNode*) {}

}  // namespace engine
