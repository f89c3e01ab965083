#include "fractal.h"

#include "ifs_set.h"
#include "set_graph.h"

namespace engine {

IfsSet::~IfsSet() {
  while (members) {
    SetMember* m = members;
    members = m->next;
    delete m;
  }
}

int IfsSet::memberCount() const {
  int n = 0;
  for (const SetMember* m = members; m; m = m->next) ++n;
  return n;
}

SplitWeights IfsSet::splitWeights(const uint8_t* picked) const {
  SplitWeights used;
  bool weighted = true;
  size_t i = 0;
  for (const SetMember* m = members; m; m = m->next, ++i) {
    if (picked && !picked[i]) continue;
    ++used.count;
    used.total += m->weight;
    if (m->weight < 0) weighted = false;
  }
  if (!weighted) used.total = 0;
  return used;
}

Fractal::Fractal(FractalType type) : type_(type) {
  materials_.push_back(std::make_unique<Material>(Material::sceneDefault()));
}

Fractal::~Fractal() {
  clearSets();
}

void Fractal::clearSets() {
  deleteSets(sets_);
  deleteSets(prepared_);
}

IfsSet* Fractal::newSet() {
  if (!sets_) sets_ = new IfsSet;
  IfsSet* s = new IfsSet;
  s->next = sets_->next;
  sets_->next = s;
  return s;
}

SetMember* Fractal::addMember(IfsSet* owner, IfsSet* target) {
  std::unique_ptr<SetMember> member = newMember(target);
  member->next = owner->members;
  owner->members = member.release();
  return owner->members;
}

int Fractal::addMapSpec(const MapSpec& spec) {
  if (mapTable.empty()) mapTable.push_back(MapSpec{});
  if (const int found = mapIndex_.find(mapTable, spec); found >= 0) return found;
  mapTable.push_back(spec);
  return int(mapTable.size() - 1);
}

Material* Fractal::addMaterial() {
  materials_.push_back(std::make_unique<Material>());
  return materials_.back().get();
}

std::unique_ptr<Fractal> createFractal(int detectedType) {
  if (detectedType < -1) return nullptr;
  if (detectedType == 1) return std::make_unique<ConformalFractal>();
  return std::make_unique<AffineFractal>();
}

}  // namespace engine
