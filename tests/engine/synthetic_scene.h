#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "engine/sphere_node.h"

namespace engine::testing {

// A map x -> scale * x + offset onto a target set.
struct SyntheticMap {
  Vec3 offset;
  double scale = 0.5;
  int target = 0;
  double weight = -1.0;  // negative: none
  const Material* material = nullptr;
};

// A set whose attractor lies within `radius` of its local origin.
struct SyntheticSet {
  std::vector<SyntheticMap> maps;
  double radius = 1.0;
};

struct SyntheticNode final : SphereNode {
  void resetMap() override {}
  Vec3 origin;  // where the set's local origin lies
  double scale = 1.0;
  int setIndex = 0;
};

// A scene with uniformly scaling maps whose sphere tree is known by hand,
// built without the set compiler: set 0 is drawn, each node's sphere is its
// set's bound scaled and moved with the node. Splits can be logged.
class SyntheticScene : public Fractal {
 public:
  SyntheticScene();

  std::vector<SyntheticSet> sets;
  Vec3 rootOrigin;
  bool logSplits = false;
  mutable std::vector<Vec3> splitCenters;  // centres of the nodes split, in order

  bool prepare() override { return true; }
  bool initRoot(TraceContext& ctx) const override;
  bool splitNode(TraceContext& ctx, SphereNode& node) const override;
  SphereNode* newNode() const override { return new SyntheticNode; }
  SetMember* cloneMember(const SetMember&) const override { return nullptr; }
  SetMember* newMember(IfsSet*, SetMember*) const override { return nullptr; }
  using Fractal::addMaterial;
};

// Set shapes, each bounded by a sphere about its local origin.
// The solid cube [-1,1]^3: eight half-size copies.
SyntheticSet solidCube(int self);
// The square [-1,1]^2 in the plane z = 0: four half-size copies.
SyntheticSet flatSquare(int self);
// The unit sphere covered by `count` copies of `target` scaled by `scale`,
// spread evenly over it.
SyntheticSet sphereOfCopies(int count, double scale, int target, double radius);

// A scene of one solid cube, bounded by a sphere of radius 2 about its
// centre, drawn on a 40 x 30 frame.
class CubeSceneTest : public ::testing::Test {
 protected:
  CubeSceneTest() {
    scene.sets.push_back(solidCube(0));
    scene.sets[0].radius = 2.0;
    scene.frameBuffer = &frame;
    frame.requestedWidth = 40;
    frame.requestedHeight = 30;
  }
  SyntheticScene scene;
  FrameBuffer frame;
};

}  // namespace engine::testing
