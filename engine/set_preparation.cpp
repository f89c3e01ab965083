// Compilation of the script's sets into the form the renderer walks.
#include <numbers>
#include <unordered_map>

#include "fractal.h"
#include "set_graph.h"

namespace engine {

namespace {

// Each entry is converted once: its meaning is fixed by the angle unit in
// force when it is first prepared.
void convertRotateAngles(std::vector<MapSpec>& mapTable, bool useRadians) {
  for (MapSpec& spec : mapTable) {
    if (spec.mapKind() != MapKind::Rotate || spec.angleConverted) continue;
    if (!useRadians) spec.args[kRotateAngleArg] *= std::numbers::pi / 180;
    spec.angleConverted = true;
  }
}

// Every set has members and every member a target in the list.
bool setsComplete(IfsSet* list) {
  if (!list) return false;
  for (IfsSet* s = list; s; s = s->next) {
    s->boundRadius2 = -1;
    if (!s->members) return false;
    for (SetMember* m = s->members; m; m = m->next) {
      if (!m->target) return false;
      m->weight = -1;
    }
  }
  return true;
}

// Takes the values of "bound" and "weight" entries, which then act as the
// identity, and builds every member's map.
bool buildMaps(IfsSet* list, const std::vector<MapSpec>& mapTable) {
  for (IfsSet* s = list; s; s = s->next)
    for (SetMember* m = s->members; m; m = m->next) {
      if (m->mapIndex < 0 || size_t(m->mapIndex) >= mapTable.size()) return false;
      const MapSpec& spec = mapTable[size_t(m->mapIndex)];
      if (!spec.argumentsFinite()) return false;
      if (spec.mapKind() == MapKind::Bound) {
        const double r2 = spec.args[3] * spec.args[3];
        IfsSet& target = *m->target;
        if (target.boundRadius2 < 0 || r2 < target.boundRadius2) {
          target.boundCenter = {spec.args[0], spec.args[1], spec.args[2]};
          target.boundRadius2 = r2;
        }
        m->mapIndex = 0;
      } else if (spec.mapKind() == MapKind::Weight) {
        m->weight = spec.args[0];
        m->mapIndex = 0;
      }
      if (!m->buildFrom(mapTable[size_t(m->mapIndex)])) return false;
    }
  return true;
}

bool selectionCountsPossible(const IfsSet* list) {
  for (const IfsSet* s = list; s; s = s->next)
    if (s->selectionCount > 0 && s->memberCount() < s->selectionCount) return false;
  return true;
}

// Members with the same positive key share one state; the generator
// advances once per distinct key.
void assignColorStates(IfsSet* list, RandomState& generator) {
  std::unordered_map<int32_t, RandomState> stateOfKey;
  for (IfsSet* s = list; s; s = s->next)
    for (SetMember* m = s->members; m; m = m->next) {
      if (m->colorKey <= 0) continue;
      const auto [entry, isNew] = stateOfKey.try_emplace(m->colorKey, generator);
      if (isNew) generator.next();
      m->colorState = entry->second;
    }
}

// Replaces every member that targets a set of a single member by that
// member's map composed onto its own, so that the chains of anonymous sets
// that composition leaves behind disappear. A set that is only the image of
// itself under its one member is kept: composing through it would never end,
// and its attractor is the fixed point of that map. Ends because every pass
// either shortens a cycle of single-member sets or brings a member closer to
// the end of its chain. Every set has members here.
void collapseChains(IfsSet* list) {
  bool changed = true;
  while (changed) {
    changed = false;
    for (IfsSet* s = list; s; s = s->next)
      for (SetMember* m = s->members; m; m = m->next) {
        IfsSet* target = m->target;
        const SetMember* only = target->members;
        if (only->next || only == m) continue;
        if (only->weight >= 0 && m->weight <= 0) m->weight = only->weight;
        if (target->boundRadius2 >= 0 || only->target == target) continue;
        m->compose(*only);
        m->target = only->target;
        if (only->colorKey != 0) {
          m->colorState = m->colorKey != 0 ? m->colorState * only->colorState : only->colorState;
          m->colorKey = only->colorKey;
        }
        changed = true;
      }
  }
}

void totalSplitWeights(IfsSet* list) {
  for (IfsSet* s = list; s; s = s->next) {
    const SplitWeights all = s->splitWeights();
    s->splitMemberCount = all.count;
    s->splitWeightTotal = all.total;
  }
}

// Steps of prepare up to the bounds; `list` receives the compiled copy.
bool compileSets(Fractal& scene, IfsSet*& list) {
  if (scene.mapTable.empty()) return scene.fail("No maps found");
  convertRotateAngles(scene.mapTable, scene.render.useRadians);
  list = copySets(scene.rootSet(), scene);
  if (!setsComplete(list)) return scene.fail("Invalid set");
  if (!buildMaps(list, scene.mapTable)) return scene.fail("Invalid map");
  pruneUnreachable(list);
  if (!selectionCountsPossible(list)) {
    scene.canceled = true;  // without a message
    return false;
  }
  assignColorStates(list, scene.sceneRandomState);
  collapseChains(list);
  pruneUnreachable(list);
  orderByLevel(list);
  totalSplitWeights(list);
  return true;
}

}  // namespace

bool Fractal::prepare() {
  deleteSets(prepared_);
  const bool ok = compileSets(*this, prepared_) && computeBounds();
  if (!ok) deleteSets(prepared_);
  return ok;
}

}  // namespace engine
