#include "walk_support.h"

#include <algorithm>

#include "fractal.h"

namespace engine {

PixelRay* joinRays(PixelRay* front, PixelRay* back) {
  if (!front) return back;
  PixelRay* last = front;
  while (last->next) last = last->next;
  last->next = back;
  return front;
}

bool startWalk(TraceContext& ctx) {
  if (!ctx.scene.initRoot(ctx) || !ctx.top || ctx.scene.canceled) return false;
  ctx.top->parkedRays = nullptr;
  return true;
}

void discardNodesAbove(TraceContext& ctx, SphereNode* below) {
  while (ctx.top && ctx.top != below) ctx.popNode();
}

PixelRay* passOverNode(TraceContext& ctx, SphereNode* below, double mass, PixelRay* needed,
                       PixelRay* neededLast, PixelRay* pass) {
  discardNodesAbove(ctx, below);
  ctx.addProgress(mass * ctx.progressWeight);
  neededLast->next = pass;
  return needed;
}

namespace {

// Stable sort of the children by distance: insertion for the few children of
// most maps, a full sort with the position as tie-break for many.
void sortByDistance(std::vector<TraceContext::ChildKey>& order) {
  using Key = TraceContext::ChildKey;
  const size_t count = order.size();
  if (count > 32) {
    std::sort(order.begin(), order.end(), [](const Key& a, const Key& b) {
      return a.distance2 < b.distance2 || (a.distance2 == b.distance2 && a.index < b.index);
    });
    return;
  }
  for (size_t i = 1; i < count; ++i) {
    const Key key = order[i];
    size_t j = i;
    for (; j > 0 && order[j - 1].distance2 > key.distance2; --j) order[j] = order[j - 1];
    order[j] = key;
  }
}

}  // namespace

void arrangeChildren(TraceContext& ctx, SphereNode* below, const Vec3* origin, double parentMass,
                     PixelRay* pass) {
  int count = 0;
  double total = 0.0;
  for (SphereNode* child = ctx.top; child != below; child = child->next) {
    total += child->radius2;
    ++count;
  }
  // splitNode pushes the children in map order, the last one on top.
  std::vector<TraceContext::ChildKey>& order = ctx.childOrder;
  order.resize(size_t(count));
  int i = count;
  for (SphereNode* child = ctx.top; child != below; child = child->next) {
    --i;
    order[size_t(i)] = {origin ? (child->center - *origin).lengthSquared() : 0.0, i, child};
  }
  if (origin) sortByDistance(order);

  SphereNode* next = below;
  for (i = count - 1; i >= 0; --i) {
    SphereNode* child = order[size_t(i)].node;
    child->mass = total > 0.0 ? parentMass * child->radius2 / total : parentMass / count;
    child->parkedRays = next == below ? pass : nullptr;
    child->next = next;
    next = child;
  }
  ctx.top = next;
}

}  // namespace engine
