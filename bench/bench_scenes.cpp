#include "bench_scenes.h"

#include <cmath>
#include <numbers>

#include "scene_builder.h"

namespace bench {

namespace {

using engine::Fractal;
using engine::IfsSet;
using engine::MapKind;
using engine::MapSpec;
using engine::SceneBuilder;
using engine::Vec3;

// Every piece of the pearls lies in one of four disjoint, nearly touching
// spheres; inverting in sphere i maps the pieces in the other three into
// sphere i. The limit set is a gasket of circles. The spheres
// are given as the pieces' bounds: an inversion turns a bound holding its
// centre inside out.
void buildPearls(Fractal& scene) {
  const double radius = 1.414;
  const std::vector<Vec3> corners = engine::tetrahedronCorners();
  SceneBuilder builder(scene);
  std::vector<IfsSet*> pieces;
  for (size_t i = 0; i < corners.size(); ++i) pieces.push_back(builder.newSet());
  for (size_t i = 0; i < pieces.size(); ++i) {
    const Vec3& c = corners[i];
    for (size_t j = 0; j < pieces.size(); ++j)
      if (j != i)
        builder.member(pieces[i], MapSpec::make(MapKind::Inverse, {c.x, c.y, c.z, radius}),
                       pieces[j]);
    builder.member(scene.rootSet(), MapSpec::make(MapKind::Bound, {c.x, c.y, c.z, radius}),
                   pieces[i]);
  }
}

// The twin dragon in the xy plane times the interval [0, 1] along z: four
// maps that turn by 45 degrees about z, shrink by 0.71 across the axis and
// by 0.5 along it, seen from the side and above. The root moves its centre,
// about (0.5, 0.5, 0.5), to the origin.
void buildPrism(Fractal& scene) {
  SceneBuilder builder(scene);
  IfsSet* prism = builder.newSet();
  for (const Vec3& t : {Vec3{0, 0, 0}, Vec3{0, 0, 0.5}, Vec3{1, 0, 0}, Vec3{1, 0, 0.5}})
    builder.term(prism,
                 {engine::translate(t), MapSpec::make(MapKind::Rotate, {0, 0, 1, 45, 0.5, 0.71})},
                 prism);
  builder.member(scene.rootSet(), engine::translate({-0.5, -0.5, -0.5}), prism);
}

// The peer's "fov 1" makes the image's half height 0.5 at unit distance: a
// vertical field of view of 53.13 degrees, measured on its images.
const double kPeerFieldOfView = 2 * std::atan(0.5);

void lookAtOrigin(Fractal& scene, const Vec3& position) {
  scene.camera.position = position;
  scene.camera.direction = -position;
  scene.camera.verticalDirection = {0, 0, 1};
  scene.camera.fov = kPeerFieldOfView;
  scene.camera.autoCamera = false;
}

// A light shining from above and a little left of the camera, following it,
// like the peer scenes' main light.
void addMainLight(Fractal& scene, bool shadows) {
  const double alpha = -15 * std::numbers::pi / 180, beta = 40 * std::numbers::pi / 180;
  engine::Light light;
  light.kind = engine::LightKind::Directional;
  light.attachment = false;
  light.direction = {-std::sin(alpha) * std::cos(beta), -std::sin(beta),
                     std::cos(alpha) * std::cos(beta)};
  light.diffuseColor = {0.45, 0.40, 0.31};
  light.specularColor = {0.5, 0.5, 0.5};
  light.shadows = shadows ? 1.0 : 0.0;
  scene.lighting.lights.push_back(light);
  scene.lighting.ambientLight = {0.12, 0.12, 0.14};
  scene.lighting.background = {0.05, 0.07, 0.12};
}

}  // namespace

std::vector<Scene> allScenes() {
  return {Scene::Menger, Scene::Sierpinski, Scene::Pearls};
}

const char* sceneName(Scene scene) {
  switch (scene) {
    case Scene::Menger:
      return "menger";
    case Scene::Sierpinski:
      return "sierpinski";
    case Scene::Pearls:
      return "pearls";
    case Scene::Prism:
      return "prism";
  }
  return "?";
}

bool sceneNamed(const std::string& name, Scene& scene) {
  for (Scene s : {Scene::Menger, Scene::Sierpinski, Scene::Pearls, Scene::Prism})
    if (name == sceneName(s)) {
      scene = s;
      return true;
    }
  return false;
}

std::unique_ptr<Fractal> makeScene(Scene which, const SceneOptions& options) {
  std::unique_ptr<Fractal> scene;
  switch (which) {
    case Scene::Menger: {
      scene = engine::createFractal(0);
      SceneBuilder builder(*scene);
      engine::buildMenger(builder);
      lookAtOrigin(*scene, {2.4, -3.2, 2.1});
      break;
    }
    case Scene::Sierpinski: {
      scene = engine::createFractal(0);
      SceneBuilder builder(*scene);
      engine::buildSierpinski(builder);
      lookAtOrigin(*scene, {3.9, -0.5, 1.1});
      break;
    }
    case Scene::Pearls:
      scene = engine::createFractal(1);
      buildPearls(*scene);
      lookAtOrigin(*scene, {1.9, -1.4, 1.05});
      break;
    case Scene::Prism:
      scene = engine::createFractal(0);
      buildPrism(*scene);
      lookAtOrigin(*scene, {1.7, -2.4, 1.5});
      break;
  }
  addMainLight(*scene, options.shadows);
  scene->render.antialiasing = options.antialiasing;
  return scene;
}

}  // namespace bench
