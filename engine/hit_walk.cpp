#include <cmath>

#include "fractal.h"
#include "sphere_walks.h"
#include "walk_support.h"

namespace engine {

bool intersectRays(TraceContext& ctx) {
  const Fractal& scene = ctx.scene;
  if (!startWalk(ctx)) return !scene.canceled;
  collectRayLevel(ctx);

  const bool section = scene.render.sectionEnabled;
  const Vec3& planeNormal = scene.render.sectionNormal;
  const double planeOffset = scene.render.sectionOffset;
  const double precision = scene.render.precisionFactor;
  const double footprint = scene.render.footprintFactor;
  const Material* firstMaterial = scene.defaultMaterial();
  // Primary rays all leave the eye: one eye-to-center vector serves them all.
  const bool sharedOrigin = ctx.level == 0;
  const Vec3 eye = ctx.currentEye;
  PixelRay* const records = ctx.rays.data();
  // The first hit on a section is final: such rays are tested no more.
  std::vector<uint8_t>& settled = ctx.settledRays;
  if (section) settled.assign(ctx.rays.size(), 0);

  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    const Vec3 c = node->center;
    const double r = std::sqrt(std::max(node->radius2, 0.0));

    if (section && std::fabs(planeNormal.dot(c) - planeOffset) > r) {
      finishTopNode(ctx);
      continue;
    }

    const Material* material = node->material ? node->material : firstMaterial;
    const double smallRadius = r * precision;
    Vec3 co = c - eye;
    double co2 = co.lengthSquared();
    const int level = node->rayLevel;
    RayLevel& entered = nextRayLevel(ctx, level);
    const RayLevel& rays = ctx.rayLevels[size_t(level)];
    uint32_t* const into = entered.ids.data();
    size_t count = 0;
    for (size_t k = 0; k < rays.count; ++k) {
      const uint32_t id = rays.ids[k];
      if (section && settled[id]) continue;
      PixelRay& ray = records[id];
      if (!sharedOrigin) {
        co = c - ray.origin;
        co2 = co.lengthSquared();
      }
      const double p = co.dot(ray.direction);
      const double f = (p + ray.travelled) * ray.cone * footprint;
      if (smallRadius <= f) {
        // Smaller than the pixel footprint: a surface of the footprint's radius.
        const double q = p * p + f * f - co2;
        if (q >= 0.0) {
          const double u = p - std::sqrt(q);
          if (u > 0.0 && u < ray.t) {
            ray.material = material;
            ray.t = u;
            ray.flags &= ~PixelRay::kBackground;
            if (section) settled[id] = 1;
          }
        }
      } else {
        const double reach = f + r;
        const double q = p * p + reach * reach - co2;
        // Written so that a ray with non-finite values never enters a sphere.
        bool enters = false;
        if (q >= 0.0) {
          const double s = std::sqrt(q);
          enters = (p - s <= ray.t) & (p + s >= 0.0);
        }
        into[count] = id;  // kept when it enters: no branch
        count += enters;
      }
    }
    entered.count = count;

    if (count == 0) {
      finishTopNode(ctx);
      continue;
    }
    SphereNode* below = node->next;
    const double mass = node->mass;
    const bool expanded = ctx.expandTopNode(1.0);
    if (scene.canceled) break;
    if (!expanded || ctx.top == below) {
      passOverNode(ctx, below, mass);
      continue;
    }
    arrangeChildren(ctx, below, sharedOrigin && !section ? &eye : nullptr, mass, level + 1);
  }
  if (scene.canceled) {
    ctx.clearNodeStack();
    return false;
  }
  return true;
}

}  // namespace engine
