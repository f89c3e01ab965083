#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "far_fields.h"
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

// Masses of `children` when the maps give them no weight: each child's
// share grows as its radius to the power s, with s moved one Newton step
// towards the value at which the shares of the radii add up to one.
// Children mostly share their radius: the powers are computed once per radius.
void assignAutomaticMasses(const std::vector<SphereNode*>& children, double parentRadius2,
                           double parentMass, double s) {
  double e = 0.0, f = 0.0;
  double lastRadius2 = -1.0, x = 0.0, ex = 0.0;
  for (const SphereNode* child : children) {
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
    for (SphereNode* child : children) {
      child->mass = 1.0;
      total += 1.0;
    }
  } else {
    s -= (e - 1.0) / f;
    if (!(s >= 0.0)) s = 2.0;
    double smallest = 100000.0, power = 0.0;
    bool pointLike = false;  // some child of radius 0
    lastRadius2 = -1.0;
    for (SphereNode* child : children) {
      if (child->radius2 > 0.0) {
        if (child->radius2 != lastRadius2) {
          lastRadius2 = child->radius2;
          power = std::pow(lastRadius2, s / 2);
        }
        child->mass = power;
        total += power;
        smallest = std::min(smallest, power);
      } else {
        pointLike = true;
      }
    }
    if (pointLike)
      for (SphereNode* child : children) {
        if (!(child->radius2 > 0.0)) {
          child->mass = 0.1 * smallest;
          total += child->mass;
        }
      }
  }
  // Children mostly share their share as well: it is divided out once.
  double lastShare = std::numeric_limits<double>::quiet_NaN(), lastMass = 0.0;
  for (SphereNode* child : children) {
    child->dimension = s;
    if (child->mass != lastShare) {
      lastShare = child->mass;
      lastMass = total > 0.0 ? lastShare * parentMass / total : 0.0;
    }
    child->mass = lastMass;
  }
}

// Level 0: the hit points of all active rays.
void collectHitPoints(TraceContext& ctx) {
  if (ctx.nearRays.empty()) ctx.nearRays.resize(1);
  NearRays& all = ctx.nearRays[0];
  all.reset(ctx.rays.size());
  for (PixelRay* ray = ctx.active; ray; ray = ray->next)
    all.push(ray->origin, uint32_t(ray - ctx.rays.data()));
}

// Adds the fields summed at the hit points to their rays' normals.
void addFieldsToNormals(TraceContext& ctx) {
  const NearRays& all = ctx.nearRays[0];
  for (size_t i = 0; i < all.count; ++i) {
    Vec3f& normal = ctx.rays[all.from[i]].normal;
    const Vec3f field = all.field(i);
    normal.x += field.x;
    normal.y += field.y;
    normal.z += field.z;
  }
}

// The walk over the tree below the root, with what it reads of the scene.
// Level n + 1 holds the points near the node of level n being walked.
class NormalWalk {
 public:
  // Each level shrinks the squared radius to below 0.7 times its parent's,
  // so a walk this deep has left double precision far behind: deeper nodes
  // are passed over, which bounds the recursion.
  static constexpr size_t kDeepestLevel = 1000;

  explicit NormalWalk(TraceContext& ctx)
      : ctx_(ctx),
        s2_(std::max(ctx.scene.render.normalRadiusFactor * ctx.scene.render.normalRadiusFactor,
                     1.0)),
        firstMaterial_(ctx.scene.defaultMaterial()) {}

  // Adds the fields of the tree to the hit points of level 0. The root is
  // mostly near all of them and then adds no field of its own: its subtree
  // is walked with level 0 itself as the level of its near points, whose
  // fields start from zero as a new level's would.
  bool walkRoot() {
    const PointMass root = pointMass(*ctx_.top);
    const NearRays& points = level(0);
    NearSums sums;
    for (size_t i = 0; i < points.count; ++i) {
      const Vec3 p = points.position(i);
      if ((p - root.center).lengthSquared() >= root.nearLimit) return walkNodes(0, nullptr);
      sums.add(p);
    }
    return walkTop(0, sums);
  }

  // Adds to the points of level `index` the fields of the nodes from the top
  // down to `below`, in that order, and walks the subtree of each with the
  // points near it; the nodes are gone then. False when stopped.
  bool walkNodes(size_t index, SphereNode* below) {
    while (ctx_.top != below) {
      PointMasses& masses = ctx_.pointMasses;
      masses.clear();
      SphereNode* end = ctx_.top;
      for (; end != below && masses.count < PointMasses::kMaxMasses; end = end->next)
        masses.add(pointMass(*end));
      const uint64_t anyNear = addFarFields(masses, level(index), ctx_.scene.vectorWalks);
      for (uint64_t bit = 1; ctx_.top != end; bit <<= 1) {
        if (ctx_.scene.canceled) return false;
        if (!(anyNear & bit)) {
          bit = finishFarNodes(anyNear, bit, end);
          if (ctx_.top == end) break;
        }
        NearRays& near = level(index + 1);  // grows the levels: taken first
        const NearSums sums = collectNearPoints(level(index), bit, near);
        if (!walkTop(index + 1, sums)) return false;
        level(index + 1).foldInto(level(index));
      }
    }
    return !ctx_.scene.canceled;
  }

 private:
  PointMass pointMass(const SphereNode& node) const {
    const Material* material = node.material ? node.material : firstMaterial_;
    return {node.center, s2_ * node.radius2, node.mass, material->power};
  }

  // Frees the nodes on top that no point is near (bits of `anyNear` from
  // `bit` on), whose fields are all added, up to the next near one or `end`;
  // returns the bit of the node then on top. Their progress is added at once,
  // off the chain of the stack's links.
  uint64_t finishFarNodes(uint64_t anyNear, uint64_t bit, const SphereNode* end) {
    double mass = 0.0;
    SphereNode* top = ctx_.top;
    for (; top != end && !(anyNear & bit); bit <<= 1) {
      mass += top->mass;
      SphereNode* next = top->next;
      ctx_.releaseNode(top);
      top = next;
    }
    ctx_.top = top;
    ctx_.addProgress(mass * ctx_.progressWeight);
    return bit;
  }

  NearRays& level(size_t index) {
    if (ctx_.nearRays.size() <= index) ctx_.nearRays.resize(index + 1);
    return ctx_.nearRays[index];
  }

  // Walks the subtree of the top node with the points of level `index`,
  // those near it, whose sums are `sums`.
  bool walkTop(size_t index, const NearSums& sums) {
    SphereNode* below = ctx_.top->next;
    const double mass = ctx_.top->mass;
    if (index > kDeepestLevel || !refineForNormals(ctx_) || ctx_.top == below) {
      if (ctx_.scene.canceled) return false;
      passOverNode(ctx_, below, mass);
      return true;
    }
    // Children that hold all near points (out to two standard deviations)
    // inside their widened spheres are refined at once, without sorting the
    // points again; the others are taken for the walk.
    const double count = double(level(index).count);
    const Vec3 mean = sums.sum * (1.0 / count);
    const double spread = std::max((sums.sumOfSquares / count - mean.lengthSquared()) * 4, 0.0);
    const auto holdsNearPoints = [&](const SphereNode* child) {
      const double e2 = (child->center - mean).lengthSquared();
      // A node of radius 0 splits into nodes no smaller: refined again and
      // again, it would never be done with.
      return child->radius2 > 0.0 &&
             2 * std::sqrt(e2 * spread) + e2 + spread <= s2_ * child->radius2;
    };
    const std::vector<SphereNode*>& children = ctx_.splitChildren;
    if (std::none_of(children.begin(), children.end(), holdsNearPoints))
      return walkNodes(index, below);  // all taken, as they lie
    SphereNode* taken = nullptr;
    while (ctx_.top != below && !ctx_.scene.canceled) {
      SphereNode* child = ctx_.top;
      if (holdsNearPoints(child)) {
        SphereNode* under = child->next;
        if (!refineForNormals(ctx_)) discardNodesAbove(ctx_, under);
      } else {
        ctx_.top = child->next;
        child->next = taken;
        taken = child;
      }
    }
    if (ctx_.scene.canceled) return false;
    if (!taken) {
      passOverNode(ctx_, below, mass);
      return true;
    }
    // Back on the stack in their order.
    for (SphereNode* child = taken; child;) {
      SphereNode* next = child->next;
      child->next = ctx_.top;
      ctx_.top = child;
      child = next;
    }
    return walkNodes(index, below);
  }

  TraceContext& ctx_;
  const double s2_;
  const Material* firstMaterial_;
};

}  // namespace

bool refineForNormals(TraceContext& ctx) {
  SphereNode* node = ctx.top;
  const double radius2 = node->radius2;
  const double mass = node->mass;
  const double dimension = node->dimension;
  if (!ctx.expandTopNode(0.7) || ctx.scene.canceled) return false;

  // Masses from the weights, unless some child has none. The split gave the
  // children their parent's exponent, from which deeper unweighted sets start.
  const std::vector<SphereNode*>& children = ctx.splitChildren;
  if (std::any_of(children.begin(), children.end(),
                  [](const SphereNode* child) { return child->mass < 0.0; }))
    assignAutomaticMasses(children, radius2, mass, dimension);
  return true;
}

bool estimateNormals(TraceContext& ctx) {
  const Fractal& scene = ctx.scene;
  if (scene.render.sectionEnabled) {
    useSectionNormal(ctx);
    return true;
  }
  if (!startWalk(ctx)) return !scene.canceled;
  collectHitPoints(ctx);
  if (!NormalWalk(ctx).walkRoot()) {
    ctx.clearNodeStack();
    return false;
  }
  addFieldsToNormals(ctx);
  return true;
}

}  // namespace engine
