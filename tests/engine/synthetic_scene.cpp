#include "synthetic_scene.h"

#include <cmath>
#include <numbers>

#include "engine/trace_context.h"

namespace engine::testing {

namespace {

void placeNode(SyntheticNode& node, const Vec3& origin, double scale, int setIndex,
               const std::vector<SyntheticSet>& sets) {
  node.origin = origin;
  node.scale = scale;
  node.setIndex = setIndex;
  node.center = origin;
  const double r = scale * sets[size_t(setIndex)].radius;
  node.radius2 = r * r;
}

}  // namespace

SyntheticScene::SyntheticScene() : Fractal(FractalType::Affine) {}

bool SyntheticScene::initRoot(TraceContext& ctx) const {
  if (!ctx.resetNodeStack()) return false;
  auto& root = static_cast<SyntheticNode&>(*ctx.top);
  placeNode(root, rootOrigin, 1.0, 0, sets);
  root.mass = 1.0;
  root.dimension = 2.0;
  root.parkedRays = nullptr;
  root.material = nullptr;
  return true;
}

bool SyntheticScene::splitNode(TraceContext& ctx, SphereNode& node) const {
  const auto& parent = static_cast<const SyntheticNode&>(node);
  if (logSplits) splitCenters.push_back(parent.center);
  const std::vector<SyntheticMap>& maps = sets[size_t(parent.setIndex)].maps;
  double total = 0.0;
  for (const SyntheticMap& m : maps)
    total = m.weight < 0.0 || total < 0.0 ? -1.0 : total + m.weight;
  for (const SyntheticMap& m : maps) {
    if (!ctx.pushNode()) return false;
    auto& child = static_cast<SyntheticNode&>(*ctx.top);
    placeNode(child, parent.origin + m.offset * parent.scale, parent.scale * m.scale, m.target,
              sets);
    child.mass = total <= 0.0 ? -1.0 : m.weight * parent.mass / total;
    if (maps.size() == 1) child.mass = parent.mass;
    child.material = parent.material ? parent.material : m.material;
  }
  return true;
}

SyntheticSet solidCube(int self) {
  SyntheticSet set;
  set.radius = std::sqrt(3.0);
  for (int i = 0; i < 8; ++i)
    set.maps.push_back({{i & 1 ? 0.5 : -0.5, i & 2 ? 0.5 : -0.5, i & 4 ? 0.5 : -0.5}, 0.5, self});
  return set;
}

SyntheticSet flatSquare(int self) {
  SyntheticSet set;
  set.radius = std::sqrt(2.0);
  for (int i = 0; i < 4; ++i)
    set.maps.push_back({{i & 1 ? 0.5 : -0.5, i & 2 ? 0.5 : -0.5, 0.0}, 0.5, self});
  return set;
}

SyntheticSet sphereOfCopies(int count, double scale, int target, double radius) {
  SyntheticSet set;
  set.radius = radius;
  for (int i = 0; i < count; ++i) {
    const double z = 1 - 2 * (i + 0.5) / count;
    const double phi = i * std::numbers::pi * (3 - std::sqrt(5.0));
    const double s = std::sqrt(1 - z * z);
    set.maps.push_back({{s * std::cos(phi), s * std::sin(phi), z}, scale, target});
  }
  return set;
}

}  // namespace engine::testing
