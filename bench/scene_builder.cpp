#include "scene_builder.h"

namespace engine {

SetMember* SceneBuilder::member(IfsSet* owner, const MapSpec& spec, IfsSet* target) {
  SetMember* m = scene_.addMember(owner, target);
  m->mapIndex = scene_.addMapSpec(spec);
  return m;
}

SetMember* SceneBuilder::term(IfsSet* owner, std::initializer_list<MapSpec> maps, IfsSet* target) {
  IfsSet* openEnd = owner;
  SetMember* first = nullptr;
  for (const MapSpec& spec : maps) {
    IfsSet* next = newSet();
    SetMember* m = member(openEnd, spec, next);
    if (!first) first = m;
    openEnd = next;
  }
  SetMember* closing = member(openEnd, MapSpec::make(MapKind::Id, {}), target);
  return first ? first : closing;
}

SetMember* SceneBuilder::build(IfsSet* target) {
  IfsSet* anonymous = newSet();
  SetMember* m = member(scene_.rootSet(), MapSpec::make(MapKind::Id, {}), anonymous);
  m->material = scene_.defaultMaterial();
  member(anonymous, MapSpec::make(MapKind::Id, {}), target);
  return m;
}

MapSpec translate(const Vec3& t) {
  return MapSpec::make(MapKind::Translate, {t.x, t.y, t.z});
}

MapSpec scale(double k) {
  return MapSpec::make(MapKind::Scale, {k, k, k});
}

IfsSet* contractionsTowards(SceneBuilder& scene, const std::vector<Vec3>& corners, double k) {
  IfsSet* set = scene.newSet();
  for (const Vec3& c : corners) scene.term(set, {translate(c * (1 - k)), scale(k)}, set);
  return set;
}

std::vector<Vec3> tetrahedronCorners() {
  return {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
}

std::vector<Vec3> mengerCorners() {
  std::vector<Vec3> corners;
  for (int x = -1; x <= 1; ++x)
    for (int y = -1; y <= 1; ++y)
      for (int z = -1; z <= 1; ++z)
        if ((x == 0) + (y == 0) + (z == 0) <= 1)
          corners.push_back({double(x), double(y), double(z)});
  return corners;
}

IfsSet* buildSierpinski(SceneBuilder& scene) {
  IfsSet* set = contractionsTowards(scene, tetrahedronCorners(), 0.5);
  scene.build(set);
  return set;
}

IfsSet* buildMenger(SceneBuilder& scene) {
  IfsSet* set = contractionsTowards(scene, mengerCorners(), 1.0 / 3);
  scene.build(set);
  return set;
}

int setCount(const IfsSet* list) {
  int n = 0;
  for (; list; list = list->next) ++n;
  return n;
}

}  // namespace engine
