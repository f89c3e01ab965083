#include <cmath>

#include "fractal.h"
#include "sphere_walks.h"
#include "walk_support.h"

namespace engine {

namespace {

// The most rays against which the children of a node are swept, and the
// fewest children swept.
constexpr size_t kSweptRays = 8;
constexpr size_t kSweptChildren = 8;

}  // namespace

bool intersectRays(TraceContext& ctx) {
  const Fractal& scene = ctx.scene;
  if (!startWalk(ctx)) return !scene.canceled;

  const bool section = scene.render.sectionEnabled;
  const Vec3& planeNormal = scene.render.sectionNormal;
  const double planeOffset = scene.render.sectionOffset;
  const double precision = scene.render.precisionFactor;
  const Material* firstMaterial = scene.defaultMaterial();
  HitNodeTest test;
  test.footprint = scene.render.footprintFactor;
  // Primary rays all leave the eye: one eye-to-center vector serves them all.
  test.sharedOrigin = ctx.level == 0;
  test.origin = ctx.currentEye;
  collectLevel(ctx, ctx.rayLevels, test.sharedOrigin ? kTravelled : kOriginZ + 1, false,
               [](HitRays& rays, const PixelRay& ray) {
                 const size_t k = rays.count;
                 rays.value(kDirX, k) = ray.direction.x;
                 rays.value(kDirY, k) = ray.direction.y;
                 rays.value(kDirZ, k) = ray.direction.z;
                 rays.value(kCone, k) = ray.cone;
                 if (rays.used <= kTravelled) return;
                 rays.value(kTravelled, k) = ray.travelled;
                 rays.value(kOriginX, k) = ray.origin.x;
                 rays.value(kOriginY, k) = ray.origin.y;
                 rays.value(kOriginZ, k) = ray.origin.z;
               });
  double* limits = ctx.rayLimits.data();
  HitNodeTestFunction* const testHitNode = hitNodeTest(scene.vectorWalks);
  HitChildSweep* const sweepChildren = hitChildSweep(scene.vectorWalks);

  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    test.center = node->center;
    test.radius = testRadius(*node);

    if (section && std::fabs(planeNormal.dot(test.center) - planeOffset) > test.radius) {
      finishTopNode(ctx);
      continue;
    }

    test.smallRadius = test.radius * precision;
    const int level = node->rayLevel;
    HitRays& entered = nextLevel(ctx.rayLevels, level);
    ctx.footprintHits.clear();
    testHitNode(test, ctx.rayLevels[size_t(level)], limits, entered, ctx.footprintHits);
    const Material* material = node->material ? node->material : firstMaterial;
    for (const FootprintHit& hit : ctx.footprintHits) {
      PixelRay& ray = ctx.rays[size_t(hit.id)];
      ray.material = material;
      ray.t = hit.u;
      ray.flags &= ~PixelRay::kBackground;
      // The first hit on a section is final.
      limits[hit.id] = section ? kWalkOver : hit.u;
    }

    if (entered.count == 0) {
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
    // The children that none of a few rays meets are done with at once.
    // Against many rays, or for a few children, a sweep would cost what the
    // children's own tests do.
    ChildBits met = kEveryChild;
    if (entered.count <= kSweptRays && ctx.splitChildren.size() >= kSweptChildren) {
      gatherChildSpheres(ctx.splitChildren, precision, ctx.childSpheres);
      met = sweepChildren(test, ctx.childSpheres, entered, limits);
    }
    arrangeChildren(ctx, below, test.sharedOrigin && !section ? &test.origin : nullptr, mass,
                    childRayLevel(ctx.rayLevels, level, below), met);
  }
  if (scene.canceled) {
    ctx.clearNodeStack();
    return false;
  }
  return true;
}

}  // namespace engine
