#include "conformal_map.h"
#include "fractal.h"
#include "sphere_node.h"

namespace engine {

namespace {

class ConformalMember final : public SetMember {
 public:
  void compose(const SetMember& other) override {
    engine::compose(map, map, static_cast<const ConformalMember&>(other).map);
  }
  Vec3 apply(const Vec3& p) const override { return map.applyToPoint(p); }
  bool buildFrom(const MapSpec& spec) override { return map.buildFrom(spec); }

  ConformalMap map;
};

}  // namespace

SphereNode* ConformalFractal::newNode() const { return new ConformalNode; }

SetMember* ConformalFractal::cloneMember(const SetMember& member) const {
  return new ConformalMember(static_cast<const ConformalMember&>(member));
}

SetMember* ConformalFractal::newMember(IfsSet* target, SetMember* next) const {
  auto* m = new ConformalMember;
  m->target = target;
  m->next = next;
  return m;
}

bool ConformalFractal::childFromMap(const SphereNode& parent, const SetMember& member,
                                    SphereNode& child) const {
  auto& node = static_cast<ConformalNode&>(child);
  compose(node.map, static_cast<const ConformalNode&>(parent).map,
          static_cast<const ConformalMember&>(member).map);
  const IfsSet& target = *member.target;
  node.center = target.boundCenter;
  node.radius2 = target.boundRadius2;
  return node.map.applyToSphere(node.center, node.radius2);
}

}  // namespace engine
