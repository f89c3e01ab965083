#include "affine_map.h"
#include "fractal.h"
#include "node_split.h"

namespace engine {

namespace {

class AffineMember final : public SetMember {
 public:
  void compose(const SetMember& other) override {
    engine::compose(map_, map_, static_cast<const AffineMember&>(other).map_);
    scalar_ = map_.scalarMatrix();
  }
  Vec3 apply(const Vec3& p) const override { return map_.apply(p); }
  bool buildFrom(const MapSpec& spec) override {
    const bool built = map_.buildFrom(spec);
    scalar_ = map_.scalarMatrix();
    return built;
  }

  const AffineMap& map() const { return map_; }
  // Whether the map's matrix is k I, kept with the map for the splits.
  bool scalar() const { return scalar_; }

 private:
  AffineMap map_;
  bool scalar_ = true;
};

// The child's map := parent o member's map; its sphere := the one about the
// image of the target's bound centre, widened by the map's largest stretch.
// Maps of the kind k I + t (the scaled and moved copies of most sets) take a
// shortcut that gives the same numbers as the general products.
void placeChild(const AffineMap& parent, bool parentScalar, const AffineMember& member,
                AffineNode& child) {
  const AffineMap& map = member.map();
  const IfsSet& target = *member.target;
  const Vec3& c = target.boundCenter;
  if (parentScalar && member.scalar()) [[likely]] {
    const double kp = parent.row[0].x;
    const double k = kp * map.row[0].x;
    const Vec3 t{kp * map.t.x + parent.t.x, kp * map.t.y + parent.t.y, kp * map.t.z + parent.t.z};
    child.map.row[0].x = k;
    child.map.t = t;
    child.scalar = true;
    child.center = {k * c.x + t.x, k * c.y + t.y, k * c.z + t.z};
    child.radius2 = k * k * target.boundRadius2;
    return;
  }
  AffineMap product;
  compose(product, parent, map);
  child.center = product.apply(c);
  child.radius2 = product.maxStretchSquared() * target.boundRadius2;
  child.map = product;
  child.scalar = product.scalarMatrix();
}

}  // namespace

std::unique_ptr<SphereNode> AffineFractal::newNode() const {
  return std::make_unique<AffineNode>();
}

std::unique_ptr<SetMember> AffineFractal::cloneMember(const SetMember& member) const {
  return std::make_unique<AffineMember>(static_cast<const AffineMember&>(member));
}

std::unique_ptr<SetMember> AffineFractal::newMember(IfsSet* target) const {
  auto m = std::make_unique<AffineMember>();
  m->target = target;
  return m;
}

bool AffineFractal::splitNode(TraceContext& ctx, SphereNode& node) const {
  const AffineNode& parentNode = static_cast<const AffineNode&>(node);
  const AffineMap parent = parentNode.fullMap();
  return splitNodeWith(*this, ctx, node, [&](const SetMember& member, SphereNode& child) {
    placeChild(parent, parentNode.scalar, static_cast<const AffineMember&>(member),
               static_cast<AffineNode&>(child));
    return true;
  });
}

}  // namespace engine
