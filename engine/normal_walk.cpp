#include <algorithm>
#include <cmath>
#include <cstring>

#include "fractal.h"
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

typedef double Double2 __attribute__((vector_size(16)));

// The rays of a node sorted into those far from it, which take its mass as
// a point mass, and those near it, with the sums of their positions.
struct RaySort {
  PixelRay* pass;  // the far rays, in front of those parked at the node
  PixelRay* near = nullptr;
  PixelRay* nearLast = nullptr;
  Vec3 sum;
  double sumOfSquares = 0.0;
  int count = 0;
};

// One loop per way of weighing the mass (`weight` of the squared distance),
// so that the loop holds no choice between them.
template <class Weight>
void sortRays(PixelRay* rays, const Vec3& c, double nearLimit, Weight weight, RaySort& sort) {
  // x and y side by side: the same operations in fewer instructions.
  const Double2 cxy{c.x, c.y};
  for (PixelRay* ray = rays; ray;) {
    PixelRay* next = ray->next;
    Double2 oxy;
    std::memcpy(&oxy, &ray->origin.x, sizeof oxy);
    const Double2 dxy = oxy - cxy;
    const double dz = ray->origin.z - c.z;
    const Double2 squares = dxy * dxy;
    const double d2 = squares[0] + squares[1] + dz * dz;
    if (d2 >= nearLimit) {
      // Far enough to act as a point mass.
      const double w = weight(d2);
      const Double2 fxy = dxy * w;
      ray->normal.x += float(fxy[0]);
      ray->normal.y += float(fxy[1]);
      ray->normal.z += float(dz * w);
      prependRay(sort.pass, ray);
    } else {
      if (!sort.near) sort.nearLast = ray;
      prependRay(sort.near, ray);
      sort.sum += ray->origin;
      sort.sumOfSquares += ray->origin.lengthSquared();
      ++sort.count;
    }
    ray = next;
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
  PixelRay* rays = ctx.active;
  if (!startWalk(ctx)) return !scene.canceled;
  const Material* firstMaterial = scene.defaultMaterial();

  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    const Vec3 c = node->center;
    const double mass = node->mass;
    const double nearLimit = s2 * node->radius2;
    const double k = (node->material ? node->material : firstMaterial)->power;

    RaySort sort;
    sort.pass = node->parkedRays;
    if (std::fabs(k - 3.0) < 1e-5)
      sortRays(
          rays, c, nearLimit, [mass](double d2) { return mass / (d2 * d2 * d2); }, sort);
    else
      sortRays(
          rays, c, nearLimit, [mass, k](double d2) { return mass * std::pow(d2, -k); }, sort);
    if (!sort.near) {
      finishTopNode(ctx);
      rays = sort.pass;
      continue;
    }

    SphereNode* below = node->next;
    if (!refineForNormals(ctx) || ctx.top == below) {
      if (scene.canceled) break;
      rays = passOverNode(ctx, below, mass, sort.near, sort.nearLast, sort.pass);
      continue;
    }

    // Children that hold all near points (out to two standard deviations)
    // inside their widened spheres are refined at once, without sorting the
    // rays again; the others are taken for the walk.
    const Vec3 mean = sort.sum * (1.0 / sort.count);
    const double spread =
        std::max((sort.sumOfSquares / sort.count - mean.lengthSquared()) * 4, 0.0);
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
    // Back on the stack in their order, the rays parked at the last one.
    for (SphereNode* child = taken; child;) {
      SphereNode* next = child->next;
      child->parkedRays = ctx.top == below ? sort.pass : nullptr;
      child->next = ctx.top;
      ctx.top = child;
      child = next;
    }
    if (scene.canceled) break;
    rays = taken ? sort.near : passOverNode(ctx, below, mass, sort.near, sort.nearLast, sort.pass);
  }
  if (scene.canceled) {
    ctx.clearNodeStack();
    return false;
  }
  return true;
}

}  // namespace engine
