#include "scene_dump.h"

#include <sstream>

#include <gtest/gtest.h>

#include "engine/fractal.h"

namespace cli {
namespace {

TEST(SceneDump, SetsInListOrderWithTheirMembers) {
  engine::ConformalFractal scene;
  engine::IfsSet* a = scene.newSet();  // makes the root first
  engine::IfsSet* root = scene.rootSet();
  scene.addMember(root, a);
  engine::SetMember* m = scene.addMember(a, a);
  m->weight = 0.25;
  m->colorKey = 3;
  m->selectionWeight = 1.0 / 3;
  scene.addMember(a, root);
  root->level = 2;
  root->boundCenter = {0.5, -1, 1e-10};
  root->boundRadius2 = 2.25;
  a->level = 1;
  a->boundRadius2 = 2;
  std::ostringstream out;
  dumpSets(scene.type(), 1, scene.firstSet(), out);
  EXPECT_EQ(out.str(),
            "scene conformal sets 2 maps 1\n"
            "set 0 level 2 members 1 centre 0.5 -1 1e-10 radius 1.5\n"
            "  member target 1 weight -1 key 0 selection 1\n"
            "set 1 level 1 members 2 centre 0 0 0 radius 1.41421356\n"
            "  member target 0 weight -1 key 0 selection 1\n"
            "  member target 1 weight 0.25 key 3 selection 0.333333333\n");
}

TEST(SceneDump, EmptyList) {
  std::ostringstream out;
  dumpSets(engine::FractalType::Affine, 0, nullptr, out);
  EXPECT_EQ(out.str(), "scene affine sets 0 maps 0\n");
}

}  // namespace
}  // namespace cli
