#pragma once

// The split of a node into one child per used member of its set, shared by
// the fractal types. Each type instantiates it with its own child placement,
// so that the placement is inlined into the loop over the members.
#include <cstdint>
#include <vector>

#include "fractal.h"
#include "sphere_node.h"
#include "trace_context.h"

namespace engine {

// Squared radius of a child whose image sphere cannot be used.
inline constexpr double kUnusableRadius2 = 1e10;

// Flags `count` distinct members of `set` in `picked`, drawn with the
// members' selection weights from the successors of `state`.
void pickMembers(const IfsSet& set, RandomState state, std::vector<uint8_t>& picked);

// Pushes the children of `node` and lists them, in that order, in
// ctx.splitChildren. `place(member, child)` sets the child's map, centre
// and squared radius and returns false when the member's image of its
// target's bound cannot be used; everything else is set here, once.
template <class Place>
bool splitNodeWith(const Fractal& scene, TraceContext& ctx, const SphereNode& node, Place place) {
  const IfsSet& set = *node.set;
  const uint8_t* picked = nullptr;
  if (scene.randomPickEnabled && set.selectionCount > 0) {
    pickMembers(set, node.randomState, ctx.pickedMembers);
    picked = ctx.pickedMembers.data();
  }

  const SplitWeights used =
      picked ? set.splitWeights(picked) : SplitWeights{set.splitMemberCount, set.splitWeightTotal};

  const double mass = node.mass;
  const Material* const material = node.material;
  const RandomState state = node.randomState;
  const double dimension = node.dimension;
  ctx.splitChildren.clear();
  size_t i = 0;
  for (const SetMember* m = set.members; m; m = m->next, ++i) {
    if (picked && !picked[i]) continue;
    if (!ctx.pushNode()) return false;
    SphereNode& child = *ctx.top;
    ctx.splitChildren.push_back(&child);
    if (!place(*m, child)) child.radius2 = kUnusableRadius2;
    child.set = m->target;
    // A single child carries all of its parent's mass.
    child.mass = used.count == 1 ? mass : used.total == 0 ? -1.0 : m->weight * mass / used.total;
    child.material = material ? material : m->material;
    child.randomState = m->colorKey != 0 ? state * m->colorState : state;
    // Defined from the parent so that a reused node never carries a value of
    // its previous life.
    child.dimension = dimension;
  }
  return true;
}

}  // namespace engine
