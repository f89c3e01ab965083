#include "walk_support.h"

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

void orderChildren(TraceContext& ctx, SphereNode* below, const Vec3* origin) {
  // splitNode pushes the children in map order, the last one on top.
  SphereNode* reversed = below;
  while (ctx.top != below) {
    SphereNode* child = ctx.top;
    ctx.top = child->next;
    child->next = reversed;
    reversed = child;
  }
  ctx.top = reversed;
  if (!origin || !ctx.pushNode()) return;  // without a spare head node the order stays
  ctx.sortOrigin = *origin;
  ctx.sortNodesByDistance(ctx.top, below);
  ctx.popNode();
}

void shareWorkAmongChildren(SphereNode* top, SphereNode* below, double parentMass, PixelRay* pass) {
  double total = 0.0;
  int count = 0;
  for (SphereNode* child = top; child != below; child = child->next) {
    total += child->radius2;
    ++count;
  }
  SphereNode* last = nullptr;
  for (SphereNode* child = top; child != below; child = child->next) {
    child->mass = total > 0.0 ? parentMass * child->radius2 / total : parentMass / count;
    child->parkedRays = nullptr;
    last = child;
  }
  if (last) last->parkedRays = pass;
}

}  // namespace engine
