#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/fractal.h"

namespace bench {

// The scenes the renderer is timed on, built through the Fractal API as the
// scene language would build them.
enum class Scene { Menger, Sierpinski, Pearls, Prism };

// The scenes of the standard matrix; the prism, far slower per pixel, is
// timed on its own at a small size.
std::vector<Scene> allScenes();
const char* sceneName(Scene scene);
bool sceneNamed(const std::string& name, Scene& scene);

struct SceneOptions {
  bool shadows = true;
  int antialiasing = 1;
};

// A scene with its camera and one light. Menger sponge and Sierpinski
// tetrahedron are seen as the peer renderer's saved settings see them; the
// pearls are the limit set of inversions in four disjoint spheres; the prism
// is a twin dragon drawn out along z, a set whose maps shrink half as fast
// across the axis as along it, so that every bounding sphere is much wider
// than the slab of the attractor that it holds.
std::unique_ptr<engine::Fractal> makeScene(Scene scene, const SceneOptions& options);

}  // namespace bench
