#include "walk_support.h"

#include <algorithm>
#include <cmath>

#include "fractal.h"

namespace engine {

bool startWalk(TraceContext& ctx) {
  if (!ctx.scene.initRoot(ctx) || !ctx.top || ctx.scene.canceled) return false;
  ctx.top->rayLevel = 0;
  ctx.top->childBit = 0;
  return true;
}

void discardNodesAbove(TraceContext& ctx, SphereNode* below) {
  while (ctx.top && ctx.top != below) ctx.popNode();
}

void passOverNode(TraceContext& ctx, SphereNode* below, double mass) {
  discardNodesAbove(ctx, below);
  ctx.addProgress(mass * ctx.progressWeight);
}

namespace {

using ChildKey = TraceContext::ChildKey;

// Distance first, then the maps' order: the order of a stable sort by
// distance, and one that does not depend on where a sort starts from.
bool before(const ChildKey& a, const ChildKey& b) {
  return a.distance2 < b.distance2 || (a.distance2 == b.distance2 && a.index < b.index);
}

// Stable sort by distance of the children in `order`, which come in the
// reverse of the maps' order (as splitNode pushes them): a full sort for
// many, insertion for the few children of most maps. Siblings seen from afar
// lie in much the same order from node to node, so the insertion starts from
// the order that the previous sort of as many children found, and mostly
// finds nothing to move. A distance that is not a number has no place in that
// order (nor in std::sort's, which may run off the ends then): such children
// are sorted by insertion from the maps' order, where each one stays put.
void sortByDistance(std::vector<ChildKey>& order, std::vector<int>& lastOrder, bool comparable) {
  constexpr size_t kInsertionLimit = 32;
  const size_t count = order.size();
  if (comparable && count > kInsertionLimit) {
    std::sort(order.begin(), order.end(), before);
    return;
  }
  if (comparable && lastOrder.size() == count) {
    ChildKey start[kInsertionLimit];
    for (size_t i = 0; i < count; ++i) start[i] = order[count - 1 - size_t(lastOrder[i])];
    std::copy(start, start + count, order.begin());
  } else {
    std::reverse(order.begin(), order.end());
  }
  bool moved = false;
  for (size_t i = 1; i < count; ++i) {
    const ChildKey key = order[i];
    size_t j = i;
    for (; j > 0 && before(key, order[j - 1]); --j) order[j] = order[j - 1];
    order[j] = key;
    moved = moved || j != i;
  }
  if (!moved && lastOrder.size() == count) return;  // the order it holds
  lastOrder.resize(count);
  for (size_t i = 0; i < count; ++i) lastOrder[i] = order[i].index;
}

}  // namespace

void gatherChildSpheres(const std::vector<SphereNode*>& children, double smallFactor,
                        ChildSpheres& spheres) {
  spheres.clear();
  const size_t count = std::min(children.size(), ChildSpheres::kMaxChildren);
  for (size_t c = 0; c < count; ++c) {
    const double radius = testRadius(*children[c]);
    spheres.add(children[c]->center, radius, radius * smallFactor);
  }
}

void arrangeChildren(TraceContext& ctx, SphereNode* below, const Vec3* origin, double parentMass,
                     int rayLevel, ChildBits met) {
  std::vector<TraceContext::ChildKey>& order = ctx.childOrder;
  order.clear();
  double total = 0.0, dropped = 0.0;  // squared radii of all children and of those done with
  int count = 0;
  bool comparable = true;
  for (SphereNode* child : ctx.splitChildren) {
    total += child->radius2;
    const size_t c = size_t(count);
    if (c < ChildSpheres::kMaxChildren && !(met >> c & 1)) {
      dropped += child->radius2;
      ctx.releaseNode(child);
    } else {
      child->childBit = c < ChildSpheres::kMaxChildren ? ChildBits{1} << c : 0;
      const double distance2 = origin ? (child->center - *origin).lengthSquared() : 0.0;
      comparable = comparable && !std::isnan(distance2);
      order.push_back({distance2, 0, child});
    }
    ++count;
  }
  const int kept = int(order.size());
  if (kept < count)
    ctx.addProgress(ctx.progressWeight * (total > 0.0 ? parentMass * dropped / total
                                                      : parentMass * (count - kept) / count));
  // splitNode pushes the children in map order, the last one on top.
  for (int i = 0; i < kept; ++i) order[size_t(i)].index = kept - 1 - i;
  if (origin)
    sortByDistance(order, ctx.lastChildOrder, comparable);
  else
    std::reverse(order.begin(), order.end());

  // Children mostly share their radius: a share is worked out once per radius.
  double lastRadius2 = -1.0, share = 0.0;
  SphereNode* next = below;
  for (int i = kept - 1; i >= 0; --i) {
    SphereNode* child = order[size_t(i)].node;
    if (child->radius2 != lastRadius2) {
      lastRadius2 = child->radius2;
      share = total > 0.0 ? parentMass * lastRadius2 / total : parentMass / count;
    }
    child->mass = share;
    child->rayLevel = rayLevel;
    child->next = next;
    next = child;
  }
  ctx.top = next;
}

}  // namespace engine
