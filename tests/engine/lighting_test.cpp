#include "engine/lighting.h"

#include <cmath>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "synthetic_scene.h"

namespace engine {
namespace {

constexpr Vec3f kUp{0, 0, 1};
constexpr Vec3 kDown{0, 0, -1};

Light whiteLight(const Vec3& position) {
  Light light;
  light.diffuseColor = {1, 1, 1};
  light.position = position;
  light.attenuation[0] = 0, light.attenuation[2] = 1;  // no fall-off
  return light;
}

Material plainMaterial(double diffuse, double specular) {
  Material m;
  m.diffuse = {diffuse, diffuse, diffuse};
  m.specular = {specular, specular, specular};
  return m;
}

TEST(Lighting, OnlySurfacesFacingTheLightCanBeLit) {
  EXPECT_TRUE(facesLight(kUp, {0, 0, 0}, {1, 1, 5}));
  EXPECT_FALSE(facesLight(kUp, {0, 0, 0}, {1, 1, -5}));
  EXPECT_FALSE(facesLight(kUp, {0, 0, 0}, {5, 0, 0}));  // grazing
  EXPECT_FALSE(facesLight({}, {0, 0, 0}, {0, 0, 5}));   // no surface
}

TEST(Lighting, DiffuseFollowsTheCosineAndTheAttenuation) {
  Light light = whiteLight({0, 0, 2});
  light.diffuseColor = {1, 0.5, 0.25};
  const Material m = plainMaterial(1.7, 0.0);
  Rgb c = directLight(light, m, kUp, {0, 0, 0}, kDown, 2.0, 1.0);
  EXPECT_NEAR(c.r, 1.7, 1e-12);
  EXPECT_NEAR(c.g, 0.85, 1e-12);
  EXPECT_NEAR(c.b, 0.425, 1e-12);

  // The same at ten times the distance without fall-off; at 60 degrees half.
  c = directLight(light, m, kUp, {0, 0, -18}, kDown, 20.0, 1.0);
  EXPECT_NEAR(c.r, 1.7, 1e-12);
  const Vec3 slanted{std::sqrt(3.0), 0, 1};
  light.position = slanted;
  c = directLight(light, m, kUp, {0, 0, 0}, kDown, 2.0, 0.5);
  EXPECT_NEAR(c.r, 1.7 * 0.5 * 0.5, 1e-12);

  // Inverse-square fall-off.
  light.position = {0, 0, 3};
  light.attenuation[0] = 1, light.attenuation[2] = 0;
  c = directLight(light, m, kUp, {0, 0, 0}, kDown, 3.0, 1.0);
  EXPECT_NEAR(c.r, 1.7 / 9, 1e-12);
}

TEST(Lighting, SpecularIsAPowerOfTheMirrorCosine) {
  Light light = whiteLight({0, 0, 1});
  light.diffuseColor = {};
  light.specularColor = {1, 1, 1};
  Material m = plainMaterial(0.0, 0.4);
  // Seen straight from above, the mirror direction points at the light.
  Rgb c = directLight(light, m, kUp, {0, 0, 0}, kDown, 1.0, 1.0);
  EXPECT_NEAR(c.r, 0.4, 1e-12);

  // Seen at 30 degrees off the vertical: the cosine is cos 30, to the fifth.
  const Vec3 incoming{std::sin(M_PI / 6), 0, -std::cos(M_PI / 6)};
  c = directLight(light, m, kUp, {0, 0, 0}, incoming, 1.0, 1.0);
  EXPECT_NEAR(c.r, 0.4 * std::pow(std::cos(M_PI / 6), 5), 1e-12);
  m.shininess = 20;
  c = directLight(light, m, kUp, {0, 0, 0}, incoming, 1.0, 1.0);
  EXPECT_NEAR(c.r, 0.4 * std::pow(std::cos(M_PI / 6), 20), 1e-12);

  // A mirror direction away from the light gives none.
  light.position = {-1, 0, 0.01};
  c = directLight(light, m, kUp, {0, 0, 0}, {1, 0, -0.01}, 1.0, 1.0);
  EXPECT_EQ(c.r, 0.0);
}

TEST(Lighting, SpotConeIsMeasuredFromTheLightAndRampsBetweenItsAngles) {
  Light spot = whiteLight({0, 0, 10});
  spot.kind = LightKind::Spot;
  spot.direction = {0, 0, -1};
  spot.spotInnerCos = std::cos(10 * M_PI / 180);
  spot.spotOuterCos = std::cos(20 * M_PI / 180);
  spot.beamDistribution = 0.0;
  const Material m = plainMaterial(1.0, 0.0);
  auto lightAt = [&](double degrees, const Vec3& incoming) {
    const Vec3 p{10 * std::tan(degrees * M_PI / 180), 0, 0};
    const double d = (p - spot.position).length();
    const Vec3 toPoint = (p - spot.position) * (1 / d);
    return directLight(spot, m, kUp, p, incoming, d, 1.0).r / -toPoint.z;
  };
  EXPECT_NEAR(lightAt(5, kDown), 1.0, 1e-12);
  EXPECT_EQ(lightAt(25, kDown), 0.0);
  const double s = std::cos(15 * M_PI / 180);
  const double ramp = (s - spot.spotOuterCos) / (spot.spotInnerCos - spot.spotOuterCos);
  EXPECT_NEAR(lightAt(15, kDown), ramp, 1e-12);
  // The viewing direction plays no part in the cone.
  EXPECT_NEAR(lightAt(15, {0.6, 0, -0.8}), ramp, 1e-12);
  EXPECT_NEAR(lightAt(5, {-0.8, 0, -0.6}), 1.0, 1e-12);

  // The beam distribution is a power of the cosine to the axis.
  spot.beamDistribution = 10;
  const double c5 = std::cos(5 * M_PI / 180);
  EXPECT_NEAR(lightAt(5, kDown), std::pow(c5, 10), 1e-12);
}

class LightPlacementTest : public ::testing::Test {
 protected:
  LightPlacementTest() {
    scene.sets.push_back(testing::solidCube(0));
    scene.sets[0].radius = 2.0;
    scene.rootOrigin = {1, 1, 1};
    scene.frameBuffer = &frame;
    scene.camera.position = {0, 0, -10};
    scene.camera.direction = {1, 0, 0};
    scene.camera.verticalDirection = {0, 0, 1};
  }
  testing::SyntheticScene scene;
  FrameBuffer frame;
};

TEST_F(LightPlacementTest, CameraRelativeLightsFollowTheCameraInEveryFrame) {
  Light light = whiteLight({1, 2, 3});
  light.attachment = false;
  light.kind = LightKind::Spot;
  light.direction = {0, 0, 2};
  scene.lighting.lights.push_back(light);
  for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {
    scene.setupCamera();
    ASSERT_EQ(scene.view.placedLights.size(), 1u);
    const Light& placed = scene.view.placedLights[0];
    // right = up x dir = (0, 1, 0); up = (0, 0, 1); dir = (1, 0, 0)
    EXPECT_EQ(placed.position, (Vec3{3, 1, -8}));
    EXPECT_EQ(placed.direction, (Vec3{1, 0, 0}));
    EXPECT_EQ(scene.lighting.lights[0].position, (Vec3{1, 2, 3}));
  }
  scene.camera.position = {0, 0, 0};
  scene.setupCamera();
  EXPECT_EQ(scene.view.placedLights[0].position, (Vec3{3, 1, 2}));
}

TEST_F(LightPlacementTest, DirectionalLightsBecomeDistantPointLights) {
  Light sun;
  sun.kind = LightKind::Directional;
  sun.direction = {0, 0, -5};
  scene.lighting.lights.push_back(sun);
  scene.lighting.lights.push_back(whiteLight({0, 0, 0}));
  scene.setupCamera();
  const Light& placed = scene.view.placedLights[0];
  EXPECT_EQ(placed.kind, LightKind::Point);
  EXPECT_EQ(placed.position, (Vec3{1, 1, 2001}));
  EXPECT_EQ(placed.attenuation[0], 0.0);
  EXPECT_EQ(placed.attenuation[2], 1.0);
  EXPECT_TRUE(castsShadows(placed));

  scene.render.sectionEnabled = true;
  scene.render.sectionNormal = {1, 0, 0};
  scene.setupCamera();
  for (const Light& light : scene.view.placedLights) EXPECT_FALSE(castsShadows(light));
  EXPECT_TRUE(castsShadows(scene.lighting.lights[0]));
}

}  // namespace
}  // namespace engine
