#include "tile_tracer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "camera.h"
#include "fractal.h"
#include "frame_buffer.h"
#include "lighting.h"
#include "sphere_walks.h"
#include "trace_context.h"

namespace engine {

namespace {

// Links the active records into the context's active list; returns their
// number.
template <typename Reset>
int collectActiveRays(TraceContext& ctx, Reset reset) {
  PixelRay* rays = ctx.rays.data();
  PixelRay* list = nullptr;
  int count = 0;
  for (int i = ctx.tileRayCount() - 1; i >= 0; --i) {
    PixelRay& ray = rays[i];
    if (!(ray.flags & PixelRay::kActive)) continue;
    reset(ray);
    ray.next = list;
    list = &ray;
    ++count;
  }
  ctx.active = list;
  return count;
}

void setPrimaryRays(TraceContext& ctx) {
  const int width = ctx.x1 - ctx.x0;
  PixelRay* rays = ctx.rays.data();
  for (int i = 0, n = ctx.tileRayCount(); i < n; ++i) {
    PixelRay& ray = rays[i];
    if (!(ray.flags & PixelRay::kActive)) continue;
    setSubpixelRay(ctx.scene, ctx.x0 + i % width, ctx.y0 + i / width, ctx.currentEye, ray);
    ray.weight = 1.0f;
    ray.t = 0.0;
    ray.travelled = 0.0;
  }
}

// Moves the rays that hit to their hit points and ends the others; at the
// first level the hits go into the depth buffer.
void advanceToHits(TraceContext& ctx) {
  const Fractal& scene = ctx.scene;
  FrameBuffer* frame = scene.frameBuffer;
  const bool recordDepth = ctx.level == 0 && frame && !frame->depth.empty();
  const bool addBackground = ctx.level > 0 && scene.lighting.reflectBackground;
  const int width = ctx.x1 - ctx.x0;
  const int aa = scene.render.antialiasing;
  PixelRay* rays = ctx.rays.data();
  for (int i = 0, n = ctx.tileRayCount(); i < n; ++i) {
    PixelRay& ray = rays[i];
    if (!(ray.flags & PixelRay::kActive)) continue;
    if (!ray.material) {
      ray.flags &= ~PixelRay::kActive;
      if (addBackground) {
        ray.color.x += float(ray.weight * scene.lighting.background.r);
        ray.color.y += float(ray.weight * scene.lighting.background.g);
        ray.color.z += float(ray.weight * scene.lighting.background.b);
      }
      continue;
    }
    ray.origin += ray.direction * ray.t;
    ray.travelled += ray.t;
    if (recordDepth) {
      const float z = float((ray.cone * scene.render.footprintFactor + 1.0) * ray.t);
      const int px = (ctx.x0 + i % width) / aa, py = (ctx.y0 + i / width) / aa;
      float& cell = frame->depth[size_t(py) * frame->width + px];
      cell = std::min(cell, z);
    }
  }
}

void normalizeNormals(TraceContext& ctx) {
  PixelRay* rays = ctx.rays.data();
  for (int i = 0, count = ctx.tileRayCount(); i < count; ++i) {
    if (!(rays[i].flags & PixelRay::kActive)) continue;
    Vec3f& n = rays[i].normal;
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!(length > 0.0f)) continue;  // no mass around: stays unlit
    n.x /= length;
    n.y /= length;
    n.z /= length;
  }
}

// Mirrors the rays that hit at their surfaces; the next ray starts one
// footprint away from the surface it leaves.
void reflectRays(TraceContext& ctx) {
  const double footprint = ctx.scene.render.footprintFactor;
  PixelRay* rays = ctx.rays.data();
  for (int i = 0, n = ctx.tileRayCount(); i < n; ++i) {
    PixelRay& ray = rays[i];
    if (!(ray.flags & PixelRay::kActive)) continue;
    ray.weight *= float(ray.material->reflection);
    const Vec3 normal{ray.normal.x, ray.normal.y, ray.normal.z};
    ray.direction -= normal * (2.0 * normal.dot(ray.direction));
    ray.origin += ray.direction * (ray.cone * ray.travelled * footprint);
  }
}

}  // namespace

bool traceTile(TraceContext& ctx, double progressShare) {
  const Fractal& scene = ctx.scene;
  setPrimaryRays(ctx);
  const int depth = scene.render.tracingDepth;
  if (depth <= 0) return true;

  int passes = 1 + (scene.render.sectionEnabled ? 0 : 1);
  for (const Light& light : scene.view.placedLights)
    if (castsShadows(light)) ++passes;
  ctx.progressWeight = progressShare / (double(depth) * passes);

  for (ctx.level = 0; ctx.level < depth; ++ctx.level) {
    const int active = collectActiveRays(ctx, [](PixelRay& ray) {
      ray.t = std::numeric_limits<double>::infinity();
      ray.normal = {};
      ray.material = nullptr;
    });
    // Every ray has left the scene: the levels left would only walk empty
    // lists, and a script may ask for billions of them. Their passes count
    // as done.
    if (active == 0) {
      ctx.addProgress(ctx.progressWeight * passes * double(depth - ctx.level));
      break;
    }
    ctx.walkStats.time(WalkStats::kHit, uint64_t(active), [&] { return intersectRays(ctx); });
    advanceToHits(ctx);

    const int hits = collectActiveRays(ctx, [](PixelRay& ray) { ray.normal = {}; });
    ctx.walkStats.time(WalkStats::kNormal, uint64_t(hits), [&] { return estimateNormals(ctx); });
    normalizeNormals(ctx);

    if (!shadeLevel(ctx)) return false;
    if (ctx.level + 1 < depth) reflectRays(ctx);
  }
  return true;
}

}  // namespace engine
