// The root node from which the renderer walks the attractor, and the random
// pick of the members that a split uses (the split itself: node_split.h).
// Both write only to the context and its nodes, so that workers can run them
// at once on the prepared scene.
#include "node_split.h"

namespace engine {

void pickMembers(const IfsSet& set, RandomState state, std::vector<uint8_t>& picked) {
  picked.assign(size_t(set.memberCount()), 0);
  for (int n = 0; n < set.selectionCount; ++n) {
    state.next();
    double total = 0;
    size_t i = 0;
    for (const SetMember* m = set.members; m; m = m->next, ++i)
      if (!picked[i]) total += m->selectionWeight;
    const double threshold = state.unit() * total;
    const bool first = state.value() == 0;
    double running = 0;
    size_t choice = picked.size();
    i = 0;
    for (const SetMember* m = set.members; m; m = m->next, ++i) {
      if (picked[i]) continue;
      choice = i;
      running += m->selectionWeight;
      // Negative or NaN weights may never reach the threshold: the last
      // unpicked member is taken then.
      if (first || running >= threshold) break;
    }
    picked[choice] = 1;
  }
}

bool Fractal::initRoot(TraceContext& ctx) const {
  if (!prepared_ || !ctx.resetNodeStack()) return false;
  SphereNode& root = *ctx.top;
  root.resetMap();
  root.set = prepared_;
  root.center = prepared_->boundCenter;
  root.radius2 = prepared_->boundRadius2;
  root.randomState = sceneRandomState;
  root.mass = 1.0;
  root.dimension = 2.0;
  root.material = nullptr;
  return true;
}

}  // namespace engine
