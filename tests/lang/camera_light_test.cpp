#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

std::ostream& operator<<(std::ostream& o, const engine::Vec3& v) {
  return o << '(' << v.x << ',' << v.y << ',' << v.z << ')';
}
std::ostream& operator<<(std::ostream& o, const engine::Rgb& c) {
  return o << '(' << c.r << ',' << c.g << ',' << c.b << ')';
}

std::string camera(const Interpreter& s) {
  const engine::Fractal& f = *s.scene;
  std::ostringstream o;
  o << "position" << f.camera.position << " direction" << f.camera.direction << " vertical"
    << f.camera.verticalDirection << " fov(" << f.camera.fov * 180 / std::numbers::pi << ")"
    << (f.camera.autoCamera ? " auto" : "") << (f.camera.stereo ? " stereo" : "") << " separation "
    << f.camera.stereoSeparation << " focus " << f.camera.focalDistance
    << (s.parser.cameraSeen ? " seen" : "");
  return o.str();
}

double degrees(double cosine) {
  return std::acos(cosine) * 180 / std::numbers::pi;
}

std::vector<std::string> lights(const Interpreter& s) {
  std::vector<std::string> result;
  for (const engine::Light& l : s.scene->lighting.lights) {
    std::ostringstream o;
    o << "PSD"[int(l.kind)] << " diffuse" << l.diffuseColor << " specular" << l.specularColor
      << " at" << l.position << " to" << l.direction << " attenuation(" << l.attenuation[0] << ','
      << l.attenuation[1] << ',' << l.attenuation[2] << ") spot(" << degrees(l.spotInnerCos) << ','
      << degrees(l.spotOuterCos) << ") beam " << l.beamDistribution << " shadows " << l.shadows
      << (l.attachment ? " attached" : "");
    result.push_back(o.str());
  }
  return result;
}

TEST(Camera, Statements) {
  const char* kDefault =
      "position(0,0,-5) direction(0,0,1) vertical(0,1,0) fov(50) separation 0 focus 1";
  const struct {
    const char* script;
    std::string camera;
  } cases[] = {
      {";", kDefault},
      {"camera position(0, 0, -5) vertical(0, 1, 0);\n"
       "camera direction(1, 0, 0) position(0, 0, -4) vertical(0, 1, 0) position(0, 0, -3);",
       "position(0,0,-3) direction(1,0,0) vertical(0,1,0) fov(50) separation 0 focus 1 seen"},
      {"angles radian; camera position(0, 0, -5) vertical(0, 1, 0) fov(1);",
       "position(0,0,-5) direction(0,0,1) vertical(0,1,0) fov(57.2958) auto separation 0 focus 1 "
       "seen"},
      // Every statement starts from the default field of view, without stereo.
      {"camera position(0, 0, -5) vertical(0, 1, 0) fov(90) stereo(0.1, 4);\n"
       "f = 1; if (f) camera position(0, 0, -5) vertical(0, 1, 0);",
       "position(0,0,-5) direction(0,0,1) vertical(0,1,0) fov(50) auto separation 0.1 focus 4 "
       "seen"},
      {"if (0) camera position(1, 2, 3) direction(1, 0, 0) vertical(0, 0, 1) fov(10);",
       kDefault + std::string(" seen")},
  };
  for (const auto& c : cases) {
    Interpreter s(c.script);
    ASSERT_EQ(s.run(), "") << c.script;
    EXPECT_EQ(camera(s), c.camera) << c.script;
  }
}

// The items the render tests do not show.
TEST(Light, Statements) {
  Interpreter s(
      "light color(1, 0.5, 0, 2) position(0, 0, 0) direction(0, 0, 1) spot_angles(30, 40) "
      "attenuation(0.5, 0.25, 2) beam_distribution(3) shadows(0.5) attachment(0.0);\n"
      "light direction(1, 1, 1) diffuse(0.3) specular(0.2, 0.3, 0.4) attachment(0.001);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(lights(s), (std::vector<std::string>{
                           "S diffuse(2,1,0) specular(2,1,0) at(0,0,0) to(0,0,1) "
                           "attenuation(0.5,0.25,2) spot(30,40) beam 3 shadows 0.5",
                           "D diffuse(0.3,0.3,0.3) specular(0.2,0.3,0.4) at(0,0,0) to(1,1,1) "
                           "attenuation(1,0,0) spot(0.1,0.3) beam 10 shadows 1 attached",
                       }));
  EXPECT_TRUE(s.parser.lightAdded);
  Interpreter suppressed("if (0) light position(0, 0, 0);");
  ASSERT_EQ(suppressed.run(), "");
  EXPECT_FALSE(suppressed.parser.lightAdded);
}

// Scene-wide settings; only the frame rate is taken from a suppressed statement.
TEST(SceneStatements, Settings) {
  const struct {
    const char* script;
    const char* settings;
  } cases[] = {
      {"angles radian; tracing_depth(3); antialiasing(2); section(0, 0, 1, 0.5); precision(); "
       "precision(1, 2); fps(24.9);",
       "1 3 2 1 (0,0,1) 0.5 24 (0,0,0) (0,0,0) 0 0"},
      {"if (0) { fps(30); tracing_depth(5); section(1, 0, 0, 1); ambient(1); }",
       "0 1 1 0 (0,0,0) 0 30 (0,0,0) (0,0,0) 0 0"},
      {"light color(1) position(0, 0, 0); clear_lights(); clear_lights(); light color(1) "
       "position(0, 0, 0);",
       "0 1 1 0 (0,0,0) 0 0 (0,0,0) (0,0,0) 0 1"},
  };
  for (const auto& c : cases) {
    Interpreter s(c.script);
    ASSERT_EQ(s.run(), "") << c.script;
    const engine::Fractal& f = *s.scene;
    std::ostringstream o;
    o << f.render.useRadians << ' ' << f.render.tracingDepth << ' ' << f.render.antialiasing << ' '
      << f.render.sectionEnabled << ' ' << f.render.sectionNormal << ' ' << f.render.sectionOffset
      << ' ' << s.parser.frameRate << ' ' << f.lighting.ambientLight << ' ' << f.lighting.background
      << ' ' << f.lighting.reflectBackground << ' ' << f.lighting.lights.size();
    EXPECT_EQ(o.str(), c.settings) << c.script;
  }
}

}  // namespace
}  // namespace lang::testing
