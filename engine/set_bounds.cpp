// Bounding spheres of the compiled sets.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "fractal.h"
#include "sphere_node.h"
#include "trace_context.h"

namespace engine {

namespace {

constexpr int kMaxCenterIterations = 1000;
constexpr double kCenterSettled = 1e-6;  // squared distance
constexpr double kCenterZero = 1e-12;
constexpr double kInitialRadius2 = 1e10;
constexpr int kMaxStackedNodes = 10000;
// A radius step whose stack does not grow (a set of one member) would
// otherwise split forever when its map does not shrink.
constexpr int kMaxSplitsPerStep = 2 * kMaxStackedNodes;
constexpr double kShrinkFactor = 0.95;
constexpr double kTightFactor = 1.02;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Moves the centre of every unbounded set of the group to the average of its
// members' images of their targets' centres until the centres settle.
bool iterateCenters(Fractal& scene, const std::vector<IfsSet*>& group) {
  for (int iteration = 0; iteration < kMaxCenterIterations; ++iteration) {
    bool moved = false;
    for (IfsSet* s : group) {
      if (s->boundRadius2 >= 0) continue;
      Vec3 sum;
      int count = 0;
      for (const SetMember* m = s->members; m; m = m->next, ++count)
        sum += m->apply(m->target->boundCenter);
      Vec3 center = sum * (1.0 / count);
      if (center.lengthSquared() < kCenterZero * kCenterZero) center = {};
      // A centre that is not a number has not settled either.
      if (!((center - s->boundCenter).lengthSquared() <= kCenterSettled)) moved = true;
      s->boundCenter = center;
    }
    if (!moved) return true;
  }
  return scene.fail("Set is void");
}

// Replaces each node that splitNode just pushed (those above `rest`) by the
// sphere about `center` that encloses it. Returns the largest distance that
// some point of the attractor inside these nodes must have from `center`,
// squared (0 when none is known).
double encloseChildren(SphereNode* top, SphereNode* rest, const Vec3& center, int& stacked) {
  double lower = 0;
  for (SphereNode* child = top; child != rest; child = child->next, ++stacked) {
    const double d = (child->center - center).length();
    const double r2 = std::isnan(child->radius2) ? kInfinity : std::max(child->radius2, 0.0);
    const double r = std::sqrt(r2);
    if (r < d) lower = std::max(lower, (d - r) * (d - r));
    const double outer = (d + r) * (d + r);
    child->radius2 = std::isnan(outer) ? kInfinity : outer;
  }
  return lower;
}

// Moves the node of largest squared radius to the top and returns that radius.
double raiseLargest(TraceContext& ctx) {
  SphereNode* beforeLargest = nullptr;
  SphereNode* largest = ctx.top;
  for (SphereNode *previous = ctx.top, *n = ctx.top->next; n; previous = n, n = n->next)
    if (n->radius2 > largest->radius2) {
      largest = n;
      beforeLargest = previous;
    }
  if (beforeLargest) {
    beforeLargest->next = largest->next;
    largest->next = ctx.top;
    ctx.top = largest;
  }
  return largest->radius2;
}

// One refinement of the squared radius of `s` about its centre: splits the
// largest enclosing sphere until the radius shrank by 5% or lies within 2%
// of the lower bound that the split spheres prove. Returns whether the
// radius has settled; false with `canceled` set when the set is void.
bool refineRadius(Fractal& scene, TraceContext& ctx, IfsSet& s) {
  const double start2 = s.boundRadius2;
  if (!ctx.resetNodeStack()) return true;
  SphereNode& root = *ctx.top;
  root.resetMap();
  root.set = &s;
  root.center = s.boundCenter;
  root.radius2 = start2;
  root.mass = 1.0;
  root.material = nullptr;

  double lower = 0;
  int stacked = 1;
  for (int splits = 0;; ++splits) {
    while (ctx.top && ctx.top->radius2 <= lower) {
      ctx.popNode();
      --stacked;
    }
    if (!ctx.top) break;
    SphereNode* node = ctx.top;
    SphereNode* const rest = ctx.top = node->next;
    --stacked;
    const bool split = scene.splitNode(ctx, *node);
    ctx.releaseNode(node);
    if (!split) {
      // Out of nodes: the radius the step started from is still a bound.
      s.boundRadius2 = start2;
      ctx.clearNodeStack();
      return true;
    }
    lower = std::max(lower, encloseChildren(ctx.top, rest, s.boundCenter, stacked));
    s.boundRadius2 = std::min(s.boundRadius2, raiseLargest(ctx));
    if (stacked > kMaxStackedNodes || s.boundRadius2 < kShrinkFactor * start2 ||
        s.boundRadius2 < kTightFactor * lower || scene.canceled || splits >= kMaxSplitsPerStep)
      break;
  }
  ctx.clearNodeStack();
  if (scene.canceled) return false;

  // Nodes dropped as lying within the lower bound may have held the farthest
  // points, so a radius below the bound is raised as well.
  if (s.boundRadius2 < kTightFactor * lower) {
    s.boundRadius2 = kTightFactor * lower;
    return true;
  }
  if (s.boundRadius2 < kShrinkFactor * start2) return false;
  if (lower > 0) return true;
  return scene.fail("Set is void");
}

bool boundGroup(Fractal& scene, TraceContext& ctx, const std::vector<IfsSet*>& group) {
  for (IfsSet* s : group)
    if (s->boundRadius2 < 0) s->boundCenter = {};
  if (!iterateCenters(scene, group)) return false;
  std::vector<bool> settled(group.size(), false);
  for (IfsSet* s : group)
    if (s->boundRadius2 < 0) s->boundRadius2 = kInitialRadius2;
  while (!scene.canceled && std::find(settled.begin(), settled.end(), false) != settled.end())
    for (size_t i = 0; i < group.size() && !scene.canceled; ++i)
      if (!settled[i]) settled[i] = refineRadius(scene, ctx, *group[i]);
  return !scene.canceled;
}

}  // namespace

bool Fractal::computeBounds() {
  // Lowest level first, so that the targets of a group are bounded before it.
  std::vector<IfsSet*> sets;
  for (IfsSet* s = prepared_; s; s = s->next) sets.push_back(s);
  std::reverse(sets.begin(), sets.end());

  randomPickEnabled = false;
  TraceContext ctx(*this);
  bool ok = true;
  for (auto begin = sets.begin(); ok && begin != sets.end();) {
    const auto end = std::find_if(begin, sets.end(),
                                  [&](const IfsSet* s) { return s->level != (*begin)->level; });
    ok = boundGroup(*this, ctx, {begin, end});
    begin = end;
  }
  randomPickEnabled = true;
  return ok;
}

}  // namespace engine
