// The two operations through which the renderer walks the attractor: the
// root node and the children of a node. Both write only to the context and
// its nodes, so that workers can run them at once on the prepared scene.
#include "fractal.h"
#include "sphere_node.h"
#include "trace_context.h"

namespace engine {

namespace {

// Squared radius of a child whose image sphere cannot be used.
constexpr double kUnusableRadius2 = 1e10;

// Flags `count` distinct members of `set` in `picked`, drawn with the
// members' selection weights from the successors of `state`.
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

}  // namespace

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
  root.parkedRays = nullptr;
  return true;
}

bool Fractal::splitNode(TraceContext& ctx, SphereNode& node) const {
  const IfsSet& set = *node.set;
  const bool pick = randomPickEnabled && set.selectionCount > 0;
  if (pick) pickMembers(set, node.randomState, ctx.pickedMembers);
  const auto used = [&](size_t i) { return !pick || ctx.pickedMembers[i]; };

  double totalWeight = 0;
  bool weighted = true;
  int usedCount = 0;
  size_t i = 0;
  for (const SetMember* m = set.members; m; m = m->next, ++i) {
    if (!used(i)) continue;
    ++usedCount;
    totalWeight += m->weight;
    if (m->weight < 0) weighted = false;
  }
  if (!weighted) totalWeight = 0;

  i = 0;
  for (const SetMember* m = set.members; m; m = m->next, ++i) {
    if (!used(i)) continue;
    if (!ctx.pushNode()) return false;
    SphereNode& child = *ctx.top;
    if (!childFromMap(node, *m, child)) child.radius2 = kUnusableRadius2;
    child.set = m->target;
    child.mass = totalWeight == 0 ? -1.0 : m->weight * node.mass / totalWeight;
    child.material = node.material ? node.material : m->material;
    child.randomState = m->colorKey != 0 ? node.randomState * m->colorState : node.randomState;
    // Defined from the parent so that a reused node never carries a value of
    // its previous life.
    child.dimension = node.dimension;
    child.parkedRays = nullptr;
  }
  if (usedCount == 1) ctx.top->mass = node.mass;
  return true;
}

}  // namespace engine
