#pragma once

#include <ostream>

namespace engine {
class Fractal;
}

namespace cli {

// Prints the compiled sets of a prepared scene: a summary line, then one
// line per set (root first) and one per member under it.
void dumpScene(const engine::Fractal& scene, std::ostream& out);

}  // namespace cli
