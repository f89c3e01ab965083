#include "conformal_map.h"
#include "fractal.h"
#include "node_split.h"

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

// The child's map := parent's map times the member's; its sphere := that
// map's image of the target's bound. False when the image is not a ball.
bool placeChild(const ConformalMap& parent, const ConformalMember& member, ConformalNode& child) {
  compose(child.map, parent, member.map);
  const IfsSet& target = *member.target;
  child.center = target.boundCenter;
  child.radius2 = target.boundRadius2;
  return child.map.applyToSphere(child.center, child.radius2);
}

}  // namespace

std::unique_ptr<SphereNode> ConformalFractal::newNode() const {
  return std::make_unique<ConformalNode>();
}

std::unique_ptr<SetMember> ConformalFractal::cloneMember(const SetMember& member) const {
  return std::make_unique<ConformalMember>(static_cast<const ConformalMember&>(member));
}

std::unique_ptr<SetMember> ConformalFractal::newMember(IfsSet* target) const {
  auto m = std::make_unique<ConformalMember>();
  m->target = target;
  return m;
}

bool ConformalFractal::splitNode(TraceContext& ctx, SphereNode& node) const {
  const ConformalMap& parent = static_cast<const ConformalNode&>(node).map;
  return splitNodeWith(*this, ctx, node, [&](const SetMember& member, SphereNode& child) {
    return placeChild(parent, static_cast<const ConformalMember&>(member),
                      static_cast<ConformalNode&>(child));
  });
}

}  // namespace engine
