#include <cmath>

#include "fractal.h"
#include "sphere_walks.h"
#include "walk_support.h"

namespace engine {

namespace {

// Splits the children above `below` until no sphere holds the light, which a
// segment ending at the light could never leave. False when stopped.
bool expandChildrenHoldingLight(TraceContext& ctx, SphereNode* below, const Vec3& light) {
  SphereNode* taken = nullptr;
  while (ctx.top != below && !ctx.scene.canceled) {
    SphereNode* child = ctx.top;
    if ((child->center - light).lengthSquared() <= child->radius2) {
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
  return !ctx.scene.canceled;
}

// What the walk needs of each ray, worked out once instead of at every node:
// its segment from the light, the segment's length and inverse, and its
// footprint at the hit point.
void describeSegments(TraceContext& ctx, const RayLevel& rays, const Vec3& light,
                      double footprint) {
  ctx.shadowSegments.resize(ctx.rays.size());
  for (size_t k = 0; k < rays.count; ++k) {
    const PixelRay& ray = ctx.rays[rays.ids[k]];
    ShadowSegment& segment = ctx.shadowSegments[rays.ids[k]];
    segment.fromLight = ray.origin - light;
    segment.length = ray.t;
    segment.inverseLength = 1.0 / ray.t;
    segment.footprint = ray.cone * ray.travelled * footprint;
  }
}

// Links the rays of `rays` that are not blocked into the active list.
void keepUnblocked(TraceContext& ctx, const RayLevel& rays) {
  PixelRay* list = nullptr;
  for (size_t k = rays.count; k-- > 0;) {
    const uint32_t id = rays.ids[k];
    if (ctx.settledRays[id]) continue;
    ctx.rays[id].next = list;
    list = &ctx.rays[id];
  }
  ctx.active = list;
}

}  // namespace

bool traceShadowRays(TraceContext& ctx, int lightIndex) {
  const Fractal& scene = ctx.scene;
  const Vec3 light = scene.view.placedLights[size_t(lightIndex)].position;
  if (!startWalk(ctx)) return !scene.canceled;
  describeSegments(ctx, collectRayLevel(ctx), light, scene.render.shadowFootprintFactor);

  const double nodeFactor = scene.render.shadowNodeFactor;
  const ShadowSegment* segments = ctx.shadowSegments.data();
  std::vector<uint8_t>& blocked = ctx.settledRays;
  blocked.assign(ctx.rays.size(), 0);

  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    const double r = std::sqrt(std::max(node->radius2, 0.0));
    const Vec3 cl = node->center - light;
    const double cl2 = cl.lengthSquared();
    const double smallRadius = r * nodeFactor;
    const int level = node->rayLevel;
    RayLevel& entered = nextRayLevel(ctx, level);
    const RayLevel& rays = ctx.rayLevels[size_t(level)];
    for (size_t k = 0; k < rays.count; ++k) {
      const uint32_t id = rays.ids[k];
      if (blocked[id]) continue;
      // The segment runs from the light to the hit point.
      const ShadowSegment& segment = segments[id];
      const double length = segment.length;
      const double p = segment.fromLight.dot(cl) * segment.inverseLength;
      const double g = segment.footprint;
      const double f = g * p * segment.inverseLength;  // shrinking towards the light
      if (smallRadius <= f) {
        const double q = f * f + p * p - cl2;
        if (q >= 0.0) {
          const double u = p + std::sqrt(q);
          blocked[id] = u >= 0.0 && u + g <= length;  // before the hit point
        }
      } else {
        const double reach = f + r;
        const double q = reach * reach + p * p - cl2;
        const double s = std::sqrt(q);
        entered.pushIf(id, (q >= 0.0) & (p - s <= length) & (p + s >= 0.0));
      }
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
    arrangeChildren(ctx, below, &light, mass, level + 1);
  }
  if (scene.canceled) {
    ctx.clearNodeStack();
    return false;
  }
  keepUnblocked(ctx, ctx.rayLevels[0]);
  return true;
}

}  // namespace engine
