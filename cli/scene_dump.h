#pragma once

#include <cstddef>
#include <ostream>

#include "engine/fractal.h"

namespace cli {

// Prints a list of sets (root first): a summary line, then one line per set
// and one per member under it.
void dumpSets(engine::FractalType type, size_t mapCount, const engine::IfsSet* first,
              std::ostream& out);
// The same for the compiled sets of a prepared scene.
void dumpScene(const engine::Fractal& scene, std::ostream& out);

}  // namespace cli
