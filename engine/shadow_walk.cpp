#include <algorithm>
#include <cmath>

#include "fractal.h"
#include "sphere_walks.h"
#include "walk_support.h"

namespace engine {

namespace {

// Splits the children above `below` (listed in ctx.splitChildren, and so
// they stay) until no sphere holds the light, which a segment ending at the
// light could never leave. False when stopped.
bool expandChildrenHoldingLight(TraceContext& ctx, SphereNode* below, const Vec3& light) {
  const auto holdsLight = [&](const SphereNode* child) {
    return (child->center - light).lengthSquared() <= child->radius2;
  };
  if (std::none_of(ctx.splitChildren.begin(), ctx.splitChildren.end(), holdsLight))
    return !ctx.scene.canceled;
  SphereNode* taken = nullptr;
  while (ctx.top != below && !ctx.scene.canceled) {
    SphereNode* child = ctx.top;
    if (holdsLight(child)) {
      SphereNode* under = child->next;
      if (!ctx.expandTopNode(1.0)) discardNodesAbove(ctx, under);
    } else {
      ctx.top = child->next;
      child->next = taken;
      taken = child;
    }
  }
  while (taken) {
    SphereNode* child = taken;
    taken = child->next;
    child->next = ctx.top;
    ctx.top = child;
  }
  ctx.listChildrenAbove(below);
  return !ctx.scene.canceled;
}

// Unlinks the blocked rays from the active list.
void dropBlocked(TraceContext& ctx) {
  PixelRay** link = &ctx.active;
  while (PixelRay* ray = *link) {
    if (ctx.rayLimits[size_t(ray - ctx.rays.data())] == kWalkOver)
      *link = ray->next;
    else
      link = &ray->next;
  }
}

}  // namespace

bool traceShadowRays(TraceContext& ctx, int lightIndex) {
  const Fractal& scene = ctx.scene;
  const Vec3 light = scene.view.placedLights[size_t(lightIndex)].position;
  if (!startWalk(ctx)) return !scene.canceled;

  // What the walk needs of each ray is worked out once instead of at every
  // node (see ShadowLane).
  const double footprint = scene.render.shadowFootprintFactor;
  collectLevel(ctx, ctx.rayLevels, kFootprint + 1, true,
               [&](ShadowRays& rays, const PixelRay& ray) {
                 const size_t k = rays.count;
                 const Vec3 fromLight = ray.origin - light;
                 rays.value(kFromLightX, k) = fromLight.x;
                 rays.value(kFromLightY, k) = fromLight.y;
                 rays.value(kFromLightZ, k) = fromLight.z;
                 rays.value(kInverseLength, k) = 1.0 / ray.t;
                 rays.value(kFootprint, k) = ray.cone * ray.travelled * footprint;
               });
  double* limits = ctx.rayLimits.data();
  const double nodeFactor = scene.render.shadowNodeFactor;
  ShadowNodeTest test;
  ShadowNodeTestFunction* const testShadowNode = shadowNodeTest(scene.vectorWalks);
  ShadowChildSweep* const sweepChildren = shadowChildSweep(scene.vectorWalks);

  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    const int level = node->rayLevel;
    ShadowRays& entered = nextLevel(ctx.rayLevels, level);
    if (node->childBit != 0) {
      collectEntered(ctx.rayLevels[size_t(level)], node->childBit, limits, entered);
    } else {
      test.radius = testRadius(*node);
      test.fromLight = node->center - light;
      test.smallRadius = test.radius * nodeFactor;
      ctx.blockedRays.clear();
      testShadowNode(test, ctx.rayLevels[size_t(level)], limits, entered, ctx.blockedRays);
      for (const RayId id : ctx.blockedRays) limits[id] = kWalkOver;
    }

    if (entered.count == 0) {
      finishTopNode(ctx);
      continue;
    }
    SphereNode* below = node->next;
    const double mass = node->mass;
    if (!ctx.expandTopNode(1.0) || ctx.top == below ||
        !expandChildrenHoldingLight(ctx, below, light) || ctx.top == below) {
      if (scene.canceled) break;
      // Not refinable: it blocks none of its rays.
      passOverNode(ctx, below, mass);
      continue;
    }
    gatherChildSpheres(ctx.splitChildren, nodeFactor, ctx.childSpheres);
    const ChildBits met = sweepChildren(light, ctx.childSpheres, entered, limits);
    arrangeChildren(ctx, below, &light, mass, childRayLevel(ctx.rayLevels, level, below), met);
  }
  if (scene.canceled) {
    ctx.clearNodeStack();
    return false;
  }
  dropBlocked(ctx);
  return true;
}

}  // namespace engine
