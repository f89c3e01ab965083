#include "scene_dump.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "engine/fractal.h"

namespace cli {

namespace {

std::string number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

}  // namespace

void dumpSets(engine::FractalType type, size_t mapCount, const engine::IfsSet* first,
              std::ostream& out) {
  std::map<const engine::IfsSet*, int> index;
  for (const engine::IfsSet* set = first; set; set = set->next)
    index.emplace(set, int(index.size()));
  out << "scene " << (type == engine::FractalType::Affine ? "affine" : "conformal") << " sets "
      << index.size() << " maps " << mapCount << '\n';
  for (const engine::IfsSet* set = first; set; set = set->next) {
    const engine::Vec3& c = set->boundCenter;
    out << "set " << index[set] << " level " << set->level << " members " << set->memberCount()
        << " centre " << number(c.x) << ' ' << number(c.y) << ' ' << number(c.z) << " radius "
        << number(std::sqrt(set->boundRadius2)) << '\n';
    for (const engine::SetMember* m = set->members; m; m = m->next) {
      const auto target = index.find(m->target);
      out << "  member target " << (target == index.end() ? -1 : target->second) << " weight "
          << number(m->weight) << " key " << m->colorKey << " selection "
          << number(m->selectionWeight) << '\n';
    }
  }
}

void dumpScene(const engine::Fractal& scene, std::ostream& out) {
  dumpSets(scene.type(), scene.mapTable.size(), scene.preparedSets(), out);
}

}  // namespace cli
