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

// What the walk needs of each active ray, worked out once instead of at
// every node: its segment from the light, the segment's length and inverse,
// and its footprint at the hit point.
void describeSegments(TraceContext& ctx, const Vec3& light, double footprint) {
  ctx.shadowSegments.resize(ctx.rays.size());
  for (PixelRay* ray = ctx.active; ray; ray = ray->next) {
    ShadowSegment& segment = ctx.shadowSegments[size_t(ray - ctx.rays.data())];
    segment.fromLight = ray->origin - light;
    segment.length = ray->t;
    segment.inverseLength = 1.0 / ray->t;
    segment.footprint = ray->cone * ray->travelled * footprint;
  }
}

}  // namespace

bool traceShadowRays(TraceContext& ctx, int lightIndex) {
  const Fractal& scene = ctx.scene;
  const Vec3 light = scene.view.placedLights[size_t(lightIndex)].position;
  PixelRay* rays = ctx.active;
  if (!startWalk(ctx)) return !scene.canceled;

  const double nodeFactor = scene.render.shadowNodeFactor;
  describeSegments(ctx, light, scene.render.shadowFootprintFactor);
  const ShadowSegment* segments = ctx.shadowSegments.data();
  const PixelRay* records = ctx.rays.data();

  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    const double r = std::sqrt(std::max(node->radius2, 0.0));
    const Vec3 cl = node->center - light;
    const double cl2 = cl.lengthSquared();
    const double smallRadius = r * nodeFactor;
    PixelRay* pass = node->parkedRays;
    PixelRay* hit = nullptr;
    PixelRay* hitLast = nullptr;
    for (PixelRay* ray = rays; ray;) {
      PixelRay* next = ray->next;
      // The segment runs from the light to the hit point.
      const ShadowSegment& segment = segments[ray - records];
      const double length = segment.length;
      const double p = segment.fromLight.dot(cl) * segment.inverseLength;
      const double g = segment.footprint;
      const double f = g * p * segment.inverseLength;  // shrinking towards the light
      if (smallRadius <= f) {
        const double q = f * f + p * p - cl2;
        if (q >= 0.0) {
          const double u = p + std::sqrt(q);
          if (u >= 0.0 && u + g <= length) {  // blocked before the hit point
            ray = next;
            continue;
          }
        }
        prependRay(pass, ray);
      } else {
        const double reach = f + r;
        const double q = reach * reach + p * p - cl2;
        if (q >= 0.0) {
          const double s = std::sqrt(q);
          if (p - s <= length && p + s >= 0.0) {
            if (!hit) hitLast = ray;
            prependRay(hit, ray);
            ray = next;
            continue;
          }
        }
        prependRay(pass, ray);
      }
      ray = next;
    }

    if (!hit) {
      finishTopNode(ctx);
      rays = pass;
      continue;
    }
    SphereNode* below = node->next;
    const double mass = node->mass;
    if (!ctx.expandTopNode(1.0) || ctx.top == below ||
        !expandChildrenHoldingLight(ctx, below, light) || ctx.top == below) {
      if (scene.canceled) break;
      // Not refinable: it blocks none of its rays.
      rays = passOverNode(ctx, below, mass, hit, hitLast, pass);
      continue;
    }
    arrangeChildren(ctx, below, &light, mass, pass);
    rays = hit;
  }
  if (scene.canceled) {
    ctx.clearNodeStack();
    return false;
  }
  ctx.active = rays;
  return true;
}

}  // namespace engine
