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
  std::vector<TraceContext::ChildKey>& order = ctx.childOrder;
  order.clear();
  double total = 0.0;
  for (SphereNode* child = ctx.top; child != below; child = child->next) {
    total += child->radius2;
    order.push_back({origin ? (child->center - *origin).lengthSquared() : 0.0, 0, child});
  }
  // splitNode pushes the children in map order, the last one on top.
  std::reverse(order.begin(), order.end());
  const int count = int(order.size());
  for (int i = 0; i < count; ++i) order[size_t(i)].index = i;
  if (origin) sortByDistance(order);

  // Children mostly share their radius: a share is worked out once per radius.
  double lastRadius2 = -1.0, share = 0.0;
  SphereNode* next = below;
  for (int i = count - 1; i >= 0; --i) {
    SphereNode* child = order[size_t(i)].node;
    if (child->radius2 != lastRadius2) {
      lastRadius2 = child->radius2;
      share = total > 0.0 ? parentMass * lastRadius2 / total : parentMass / count;
    }
    child->mass = share;
    child->parkedRays = next == below ? pass : nullptr;
    child->next = next;
    next = child;
  }
  ctx.top = next;
}

}  // namespace engine
