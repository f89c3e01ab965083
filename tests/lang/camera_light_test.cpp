#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

using engine::LightKind;
using engine::Rgb;
using engine::Vec3;

TEST(Camera, PositionAndVerticalAloneAimTheCameraAutomatically) {
  Interpreter s("camera position(1, 2, 3) vertical(0, 0, 1);");
  const Vec3 direction = s.scene->camera.direction;
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.scene->camera.position, Vec3(1, 2, 3));
  EXPECT_EQ(s.scene->camera.verticalDirection, Vec3(0, 0, 1));
  EXPECT_EQ(s.scene->camera.direction, direction);
  EXPECT_TRUE(s.scene->camera.autoCamera);
  EXPECT_TRUE(s.parser.cameraSeen);
}

TEST(Camera, DirectionTurnsTheAutomaticCameraOff) {
  Interpreter s(
      "camera position(0, 0, -5) vertical(0, 1, 0);\n"
      "camera direction(1, 0, 0) position(0, 0, -4) vertical(0, 1, 0) position(0, 0, -3);");
  ASSERT_EQ(s.run(), "");
  EXPECT_FALSE(s.scene->camera.autoCamera);
  EXPECT_EQ(s.scene->camera.direction, Vec3(1, 0, 0));
  EXPECT_EQ(s.scene->camera.position, Vec3(0, 0, -3));
}

TEST(Camera, FieldOfViewInTheAngleUnitAndStereoUntilTheNextStatement) {
  Interpreter s("camera position(0, 0, -5) vertical(0, 1, 0) fov(90) stereo(0.1, 4);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.scene->camera.fov, 1.5707963267948966);
  EXPECT_TRUE(s.scene->camera.stereo);
  Interpreter radians("angles radian; camera position(0, 0, -5) vertical(0, 1, 0) fov(1);");
  ASSERT_EQ(radians.run(), "");
  EXPECT_EQ(radians.scene->camera.fov, 1.0);
  // Every statement starts from the default field of view, without stereo.
  Interpreter again(
      "camera position(0, 0, -5) vertical(0, 1, 0) fov(90) stereo(0.1, 4);\n"
      "f = 1; if (f) camera position(0, 0, -5) vertical(0, 1, 0);");
  ASSERT_EQ(again.run(), "");
  EXPECT_EQ(again.scene->camera.fov, 0.8726646259944445);
  EXPECT_FALSE(again.scene->camera.stereo);
  EXPECT_EQ(again.scene->camera.stereoSeparation, 0.1);
  EXPECT_EQ(again.scene->camera.focalDistance, 4);
}

TEST(Camera, SuppressedCameraChangesNothing) {
  Interpreter s("if (0) camera position(1, 2, 3) direction(1, 0, 0) vertical(0, 0, 1) fov(10);");
  const Vec3 position = s.scene->camera.position;
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.scene->camera.position, position);
  EXPECT_FALSE(s.scene->camera.autoCamera);
  EXPECT_EQ(s.scene->camera.fov, 0.8726646259944445);
  EXPECT_TRUE(s.parser.cameraSeen);
}

TEST(Light, PointLightWithGreyColour) {
  Interpreter s("light color(1) position(1, 2, 3);");
  ASSERT_EQ(s.run(), "");
  ASSERT_EQ(s.scene->lighting.lights.size(), 1u);
  const engine::Light& l = s.scene->lighting.lights[0];
  EXPECT_EQ(l.kind, LightKind::Point);
  EXPECT_EQ(l.diffuseColor, (Rgb{1, 1, 1}));
  EXPECT_EQ(l.specularColor, (Rgb{1, 1, 1}));
  EXPECT_EQ(l.position, Vec3(1, 2, 3));
  EXPECT_EQ(l.attenuation[0], 1);
  EXPECT_EQ(l.spotInnerCos, std::cos(0.0017453292519888888));
  EXPECT_EQ(l.spotOuterCos, std::cos(0.005235987755966666));
  EXPECT_EQ(l.beamDistribution, 10);
  EXPECT_EQ(l.shadows, 1);
  EXPECT_TRUE(l.attachment);
  EXPECT_TRUE(s.parser.lightAdded);
}

TEST(Light, ColoursAndKinds) {
  Interpreter s(
      "light color(1, 0.5, 0, 2) position(0, 0, 0) direction(0, 0, 1);\n"
      "light direction(1, 1, 1) diffuse(0.3);\n"
      "light specular(0.2, 0.3, 0.4) position(1, 1, 1);");
  ASSERT_EQ(s.run(), "");
  ASSERT_EQ(s.scene->lighting.lights.size(), 3u);
  EXPECT_EQ(s.scene->lighting.lights[0].kind, LightKind::Spot);
  EXPECT_EQ(s.scene->lighting.lights[0].diffuseColor, (Rgb{2, 1, 0}));
  EXPECT_EQ(s.scene->lighting.lights[1].kind, LightKind::Directional);
  EXPECT_EQ(s.scene->lighting.lights[1].diffuseColor, (Rgb{0.3, 0.3, 0.3}));
  EXPECT_EQ(s.scene->lighting.lights[1].specularColor, (Rgb{0, 0, 0}));
  EXPECT_EQ(s.scene->lighting.lights[2].diffuseColor, (Rgb{0, 0, 0}));
  EXPECT_EQ(s.scene->lighting.lights[2].specularColor, (Rgb{0.2, 0.3, 0.4}));
}

TEST(Light, OtherItems) {
  Interpreter s(
      "light color(1) position(0, 0, 0) spot_angles(30, 40) attenuation(0.5, 0.25, 2) "
      "beam_distribution(3) shadows(0.5) attachment(0.0);\n"
      "light color(1) position(0, 0, 0) attachment(0.001);");
  ASSERT_EQ(s.run(), "");
  const engine::Light& l = s.scene->lighting.lights[0];
  EXPECT_DOUBLE_EQ(l.spotInnerCos, std::cos(M_PI / 6));
  EXPECT_DOUBLE_EQ(l.spotOuterCos, std::cos(2 * M_PI / 9));
  EXPECT_EQ(l.attenuation[0], 0.5);
  EXPECT_EQ(l.attenuation[1], 0.25);
  EXPECT_EQ(l.attenuation[2], 2);
  EXPECT_EQ(l.beamDistribution, 3);
  EXPECT_EQ(l.shadows, 0.5);
  EXPECT_FALSE(l.attachment);
  EXPECT_TRUE(s.scene->lighting.lights[1].attachment);
}

TEST(Light, SuppressedLightsAreNeitherCheckedNorAdded) {
  Interpreter s("if (0) light position(0, 0, 0);");
  ASSERT_EQ(s.run(), "");
  EXPECT_TRUE(s.scene->lighting.lights.empty());
  EXPECT_FALSE(s.parser.lightAdded);
}

TEST(Light, SceneWideStatements) {
  Interpreter s(
      "ambient(0.2); background(0.1, 0.2, 0.3); reflect_background(2);\n"
      "light color(1) position(0, 0, 0); clear_lights(); clear_lights();\n"
      "light color(1) position(0, 0, 0);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.scene->lighting.ambientLight, (Rgb{0.2, 0.2, 0.2}));
  EXPECT_EQ(s.scene->lighting.background, (Rgb{0.1, 0.2, 0.3}));
  EXPECT_TRUE(s.scene->lighting.reflectBackground);
  EXPECT_EQ(s.scene->lighting.lights.size(), 1u);
  Interpreter off("reflect_background(1); reflect_background(0.0);");
  ASSERT_EQ(off.run(), "");
  EXPECT_FALSE(off.scene->lighting.reflectBackground);
}

TEST(Light, AmbientAfterABuildIsAMaterialItem) {
  Interpreter s("build A; ambient(0.5);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.scene->lighting.ambientLight, (Rgb{0, 0, 0}));
  EXPECT_EQ(s.scene->rootSet()->members->material->ambient, (Rgb{0.5, 0.5, 0.5}));
}

}  // namespace
}  // namespace lang::testing
