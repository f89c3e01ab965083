#include <algorithm>
#include <cmath>
#include <cstdint>

#include "fractal.h"
#include "near_point_sort.h"
#include "sphere_walks.h"
#include "walk_support.h"

namespace engine {

namespace {

// With a section plane the surface is the plane itself, turned to the camera.
void useSectionNormal(TraceContext& ctx) {
  const Fractal& scene = ctx.scene;
  Vec3 n = scene.render.sectionNormal;
  if (!(n.dot(scene.camera.position) - scene.render.sectionOffset > 0.0)) n = -n;
  const Vec3f normal{float(n.x), float(n.y), float(n.z)};
  for (PixelRay* ray = ctx.active; ray; ray = ray->next) ray->normal = normal;
}

// Masses of the children above `below` that the maps give no weight: each
// child's share grows as its radius to the power s, with s moved one Newton
// step towards the value at which the shares of the radii add up to one.
// Children mostly share their radius: the powers are computed once per radius.
void assignAutomaticMasses(SphereNode* top, SphereNode* below, double parentRadius2,
                           double parentMass, double s) {
  double e = 0.0, f = 0.0;
  double lastRadius2 = -1.0, x = 0.0, ex = 0.0;
  for (SphereNode* child = top; child != below; child = child->next) {
    if (child->radius2 > 0.0 && parentRadius2 > 0.0) {
      if (child->radius2 != lastRadius2) {
        lastRadius2 = child->radius2;
        x = std::log(lastRadius2 / parentRadius2) / 2;
        ex = std::exp(x * s);
      }
      e += ex;
      f += x * ex;
    }
  }
  double total = 0.0;
  if (f == 0.0) {
    s = 0.0;
    for (SphereNode* child = top; child != below; child = child->next) {
      child->mass = 1.0;
      total += 1.0;
    }
  } else {
    s -= (e - 1.0) / f;
    if (!(s >= 0.0)) s = 2.0;
    double smallest = 100000.0, power = 0.0;
    lastRadius2 = -1.0;
    for (SphereNode* child = top; child != below; child = child->next) {
      if (child->radius2 > 0.0) {
        if (child->radius2 != lastRadius2) {
          lastRadius2 = child->radius2;
          power = std::pow(lastRadius2, s / 2);
        }
        child->mass = power;
        total += power;
        smallest = std::min(smallest, power);
      }
    }
    for (SphereNode* child = top; child != below; child = child->next) {
      if (!(child->radius2 > 0.0)) {
        child->mass = 0.1 * smallest;
        total += child->mass;
      }
    }
  }
  for (SphereNode* child = top; child != below; child = child->next) {
    child->dimension = s;
    child->mass = total > 0.0 ? child->mass * parentMass / total : 0.0;
  }
}

// Folds the fields summed at the levels above `level` into it; the levels
// up to `deepest` hold points.
void foldLevelsInto(TraceContext& ctx, int level, int& deepest) {
  for (; deepest > level; --deepest)
    ctx.nearRays[size_t(deepest)].foldInto(ctx.nearRays[size_t(deepest) - 1]);
}

// The points of level `level + 1`, emptied, with room for all of level
// `level`. The walk is depth first: a node of level `level` comes after
// every node tested against the deeper levels, whose sums are folded down.
NearRays& nextLevel(TraceContext& ctx, int level, int& deepest) {
  foldLevelsInto(ctx, level, deepest);
  deepest = level + 1;
  if (ctx.nearRays.size() <= size_t(deepest)) ctx.nearRays.resize(size_t(deepest) + 1);
  NearRays& next = ctx.nearRays[size_t(deepest)];
  next.reset(ctx.nearRays[size_t(level)].count);
  return next;
}

// Level 0: the hit points of all active rays.
void collectHitPoints(TraceContext& ctx) {
  size_t count = 0;
  for (PixelRay* ray = ctx.active; ray; ray = ray->next) ++count;
  if (ctx.nearRays.empty()) ctx.nearRays.resize(1);
  NearRays& all = ctx.nearRays[0];
  all.reset(count);
  for (PixelRay* ray = ctx.active; ray; ray = ray->next)
    all.push(ray->origin.x, ray->origin.y, ray->origin.z, uint32_t(ray - ctx.rays.data()));
}

// Adds the fields summed at the hit points to their rays' normals.
void addFieldsToNormals(TraceContext& ctx, int& deepest) {
  foldLevelsInto(ctx, 0, deepest);
  const NearRays& all = ctx.nearRays[0];
  for (size_t i = 0; i < all.count; ++i) {
    Vec3f& normal = ctx.rays[all.from[i]].normal;
    normal.x += all.fx[i];
    normal.y += all.fy[i];
    normal.z += all.fz[i];
  }
}

}  // namespace

bool refineForNormals(TraceContext& ctx) {
  SphereNode* node = ctx.top;
  SphereNode* below = node->next;
  const double radius2 = node->radius2;
  const double mass = node->mass;
  const double dimension = node->dimension;
  if (!ctx.expandTopNode(0.7) || ctx.scene.canceled) return false;

  bool weighted = true;
  for (SphereNode* child = ctx.top; child != below; child = child->next)
    if (child->mass < 0.0) weighted = false;
  if (!weighted) {
    assignAutomaticMasses(ctx.top, below, radius2, mass, dimension);
    return true;
  }
  // Masses from the weights; deeper unweighted sets start from this exponent.
  for (SphereNode* child = ctx.top; child != below; child = child->next)
    child->dimension = dimension;
  return true;
}

bool estimateNormals(TraceContext& ctx) {
  const Fractal& scene = ctx.scene;
  if (scene.render.sectionEnabled) {
    useSectionNormal(ctx);
    return true;
  }
  const double s2 =
      std::max(scene.render.normalRadiusFactor * scene.render.normalRadiusFactor, 1.0);
  if (!startWalk(ctx)) return !scene.canceled;
  collectHitPoints(ctx);
  ctx.top->rayLevel = 0;
  const Material* firstMaterial = scene.defaultMaterial();
  int deepest = 0;  // the deepest level that holds points

  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    const int level = node->rayLevel;
    const Vec3 c = node->center;
    const double mass = node->mass;
    const double nearLimit = s2 * node->radius2;
    const double power = (node->material ? node->material : firstMaterial)->power;

    NearRays& near = nextLevel(ctx, level, deepest);
    const NearSums sums = sortNearPoints({c, nearLimit, mass, power}, ctx.nearRays[size_t(level)],
                                         near, scene.vectorWalks);
    if (near.count == 0) {
      finishTopNode(ctx);
      continue;
    }

    SphereNode* below = node->next;
    if (!refineForNormals(ctx) || ctx.top == below) {
      if (scene.canceled) break;
      passOverNode(ctx, below, mass);
      continue;
    }

    // Children that hold all near points (out to two standard deviations)
    // inside their widened spheres are refined at once, without sorting the
    // points again; the others are taken for the walk.
    const Vec3 mean = sums.sum * (1.0 / double(near.count));
    const double spread =
        std::max((sums.sumOfSquares / double(near.count) - mean.lengthSquared()) * 4, 0.0);
    SphereNode* taken = nullptr;
    while (ctx.top != below && !scene.canceled) {
      SphereNode* child = ctx.top;
      const double e2 = (child->center - mean).lengthSquared();
      if (2 * std::sqrt(e2 * spread) + e2 + spread <= s2 * child->radius2) {
        SphereNode* under = child->next;
        if (!refineForNormals(ctx)) discardNodesAbove(ctx, under);
      } else {
        ctx.top = child->next;
        child->next = taken;
        taken = child;
      }
    }
    // Back on the stack in their order, tested against the near points.
    for (SphereNode* child = taken; child;) {
      SphereNode* next = child->next;
      child->rayLevel = level + 1;
      child->next = ctx.top;
      ctx.top = child;
      child = next;
    }
    if (scene.canceled) break;
    if (!taken) passOverNode(ctx, below, mass);
  }
  if (scene.canceled) {
    ctx.clearNodeStack();
    return false;
  }
  addFieldsToNormals(ctx, deepest);
  return true;
}

}  // namespace engine
