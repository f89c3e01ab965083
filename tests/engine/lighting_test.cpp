#include "engine/lighting.h"

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"

namespace engine {
namespace {

constexpr Vec3f kUp{0, 0, 1};
constexpr Vec3 kDown{0, 0, -1};

double radians(double degrees) {
  return degrees * M_PI / 180;
}

// A white light without fall-off.
Light whiteLight(const Vec3& position, std::function<void(Light&)> change = {}) {
  Light light;
  light.diffuseColor = {1, 1, 1};
  light.position = position;
  light.attenuation[0] = 0, light.attenuation[2] = 1;
  if (change) change(light);
  return light;
}

// The red light that reaches a surface at the origin facing up.
TEST(Lighting, DiffuseSpecularAndSpotTerms) {
  Material diffuse, shinier;
  diffuse.diffuse = {1.7, 1.7, 1.7};
  diffuse.specular = shinier.diffuse = {};
  shinier.specular = {0.4, 0.4, 0.4};
  shinier.shininess = 20;
  const auto specularOnly = [](Light& l) { l.diffuseColor = {}, l.specularColor = {1, 1, 1}; };
  const Vec3 slanted{std::sin(M_PI / 6), 0, -std::cos(M_PI / 6)};  // 30 degrees off the vertical
  const auto spot = [](double beam) {
    return [beam](Light& l) {
      l.kind = LightKind::Spot;
      l.direction = {0, 0, -1};
      l.spotInnerCos = std::cos(radians(10));
      l.spotOuterCos = std::cos(radians(20));
      l.beamDistribution = beam;
    };
  };
  // A spot 10 above the surface, lighting it `degrees` off its axis.
  const auto spotAt = [](double degrees) { return Vec3{-10 * std::tan(radians(degrees)), 0, 10}; };
  const double ramp = (std::cos(radians(15)) - std::cos(radians(20))) /
                      (std::cos(radians(10)) - std::cos(radians(20)));
  const struct {
    Light light;
    const Material& material;
    Vec3 incoming;
    double cosine, expected;
  } cases[] = {
      {whiteLight({std::sqrt(3.0), 0, 1}), diffuse, kDown, 0.5, 1.7 * 0.5 * 0.5},
      {whiteLight({0, 0, 3}, [](Light& l) { l.attenuation[0] = 1, l.attenuation[2] = 0; }), diffuse,
       kDown, 1, 1.7 / 9},
      // Specular: a power of the cosine between the mirror direction and the light.
      {whiteLight({0, 0, 1}, specularOnly), shinier, slanted, 1,
       0.4 * std::pow(std::cos(M_PI / 6), 20)},
      {whiteLight({-1, 0, 0.01}, specularOnly), shinier, {1, 0, -0.01}, 1, 0},
      // The spot cone is measured from the light, whatever the viewing direction.
      {whiteLight(spotAt(5), spot(0)), diffuse, {-0.8, 0, -0.6}, 1, 1.7 * std::cos(radians(5))},
      {whiteLight(spotAt(25), spot(0)), diffuse, kDown, 1, 0},
      {whiteLight(spotAt(15), spot(0)), diffuse, kDown, 1, 1.7 * ramp * std::cos(radians(15))},
      {whiteLight(spotAt(5), spot(10)), diffuse, kDown, 1,
       1.7 * std::pow(std::cos(radians(5)), 11)},
  };
  for (const auto& c : cases) {
    const Rgb color = directLight(c.light, c.material, kUp, {0, 0, 0}, c.incoming,
                                  c.light.position.length(), c.cosine);
    EXPECT_NEAR(color.r, c.expected, 1e-12) << c.light.position.x << " " << c.light.position.z;
  }
}

// Lights as each frame places them: camera-relative ones follow the camera,
// directional ones become distant point lights, a section plane turns every
// shadow off for the frame.
TEST(LightPlacement, CameraRelativeDirectionalAndSectioned) {
  const auto s = lang::testing::sceneOf(
      "camera position(0, 0, -10) direction(1, 0, 0) vertical(0, 0, 1);\n"
      "light color(1) position(1, 2, 3) direction(0, 0, 2) spot_angles(10, 20) attachment(0);\n"
      "light color(1) direction(0, 0, -5);\n"
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;");
  Fractal& scene = *s->scene;
  ASSERT_TRUE(scene.prepare());
  // right = up x dir = (0, 1, 0); up = (0, 0, 1); dir = (1, 0, 0)
  for (const auto& [camera, expected] : {std::pair{Vec3{0, 0, -10}, Vec3{3, 1, -8}},
                                         {Vec3{0, 0, -10}, Vec3{3, 1, -8}},
                                         {Vec3{0, 0, 0}, Vec3{3, 1, 2}}}) {
    scene.camera.position = camera;
    scene.setupCamera();
    ASSERT_EQ(scene.view.placedLights.size(), 2u);
    EXPECT_EQ(scene.view.placedLights[0].position, expected);
    EXPECT_EQ(scene.view.placedLights[0].direction, (Vec3{1, 0, 0}));
    EXPECT_EQ(scene.lighting.lights[0].position, (Vec3{1, 2, 3}));
  }
  const Light& sun = scene.view.placedLights[1];
  const IfsSet* root = scene.preparedSets();
  EXPECT_EQ(sun.kind, LightKind::Point);
  EXPECT_EQ(sun.position, (root->boundCenter + Vec3{0, 0, 1000 * std::sqrt(root->boundRadius2)}));
  EXPECT_EQ(sun.attenuation[0], 0.0);
  EXPECT_EQ(sun.attenuation[2], 1.0);
  EXPECT_TRUE(castsShadows(sun));
  scene.render.sectionEnabled = true;
  scene.render.sectionNormal = {1, 0, 0};
  scene.setupCamera();
  for (const Light& light : scene.view.placedLights) EXPECT_FALSE(castsShadows(light));
  EXPECT_TRUE(castsShadows(scene.lighting.lights[0]));
}

}  // namespace
}  // namespace engine
