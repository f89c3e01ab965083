#include "affine_map.h"
#include "fractal.h"
#include "sphere_node.h"

namespace engine {

namespace {

class AffineMember final : public SetMember {
 public:
  void compose(const SetMember& other) override {
    engine::compose(map, map, static_cast<const AffineMember&>(other).map);
  }
  Vec3 apply(const Vec3& p) const override { return map.apply(p); }
  bool buildFrom(const MapSpec& spec) override { return map.buildFrom(spec); }

  AffineMap map;
};

}  // namespace

SphereNode* AffineFractal::newNode() const { return new AffineNode; }

SetMember* AffineFractal::cloneMember(const SetMember& member) const {
  return new AffineMember(static_cast<const AffineMember&>(member));
}

SetMember* AffineFractal::newMember(IfsSet* target, SetMember* next) const {
  auto* m = new AffineMember;
  m->target = target;
  m->next = next;
  return m;
}

bool AffineFractal::childFromMap(const SphereNode& parent, const SetMember& member,
                                 SphereNode& child) const {
  auto& node = static_cast<AffineNode&>(child);
  compose(node.map, static_cast<const AffineNode&>(parent).map,
          static_cast<const AffineMember&>(member).map);
  const IfsSet& target = *member.target;
  node.center = node.map.apply(target.boundCenter);
  node.radius2 = node.map.maxStretchSquared() * target.boundRadius2;
  return true;
}

}  // namespace engine
