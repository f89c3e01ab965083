#include <string>

#include <gtest/gtest.h>

#include "lang/build_driver.h"
#include "script_harness.h"

namespace lang::testing {
namespace {

const std::string kCamera = "camera position(0, 0, -5) vertical(0, 1, 0);\n";

TEST(BuildDriver, OutcomesOfScriptsThatRenderNothing) {
  const struct {
    std::string script;
    const char* err;
  } cases[] = {
      {kCamera + "set A = 0.5 A;", "error: no set defined!\n"},
      {"r := 1 + r;\nx = r;", "error: line 1: recursion found in substitution: r\n"},
  };
  for (const auto& c : cases) {
    const BuildResult result = build(c.script);
    EXPECT_FALSE(result.built) << c.script;
    EXPECT_FALSE(result.drewNothing) << c.script;
    EXPECT_EQ(result.out, "") << c.script;
    EXPECT_EQ(result.err, c.err) << c.script;
  }
  // An error of the pre-scan keeps the build from starting.
  EXPECT_EQ(build("r := 1 + r;\nx = r;").scene, nullptr);
}

// Scenes the renderer refuses: the build fails without a message and leaves
// the script alone; the scene keeps the reason.
TEST(BuildDriver, RenderErrorsFailTheBuildSilently) {
  const std::string kTwoHalves = "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;";
  const struct {
    std::string script;
    const char* error;
  } cases[] = {
      {"camera position(0, 0, -5) vertical(0, 1, 0) fov(0);" + kTwoHalves, "Invalid field of view"},
      {"camera position(0, 0, -5) direction(0, 0, 1) vertical(0, 1, 0) stereo(0.1, -1);" +
           kTwoHalves,
       "Invalid focal distance"},
      // A conformal scene has no rotate_v.
      {kCamera + "set A = inverse() A + rotate_v(1, 0, 0, 0, 1, 0) 0.5 A; build A;", "Invalid map"},
      // x -> 2x + 1 has no bounded attractor.
      {kCamera + "set A = 2 A + translate(1, 0, 0) 2 A; build A;", "Set is void"},
      // Only its own image under one map: collapsing through it would compose forever.
      {kCamera + "set A = 0.5 A; build A;", "Set is void"},
  };
  for (const auto& c : cases) {
    engine::FrameBuffer frame;
    const BuildResult result = build(c.script, &frame);
    EXPECT_FALSE(result.built) << c.script;
    EXPECT_EQ(result.err, "") << c.script;
    EXPECT_EQ(result.scene->renderError, c.error) << c.script;
    EXPECT_EQ(frame.scriptText, c.script);
  }
}

// Runs scripts on one scene as the application does.
struct Scene {
  engine::FrameBuffer frame;
  std::unique_ptr<engine::Fractal> fractal = engine::createFractal(0);
  CapturedOutput output;
  Scene() { fractal->frameBuffer = &frame; }
  bool run(const std::string& script) {
    frame.scriptText = script;
    return BuildDriver().run(*fractal);
  }
};

TEST(BuildDriver, PerBuildSettingsAreReset) {
  Scene s;
  s.run(
      "angles radian; tracing_depth(4); antialiasing(3); ambient(1); light color(1) "
      "position(0,0,0);");
  s.fractal->canceled = true;
  s.run("x = 1;");
  EXPECT_FALSE(s.fractal->canceled);
  EXPECT_FALSE(s.fractal->render.useRadians);
  EXPECT_EQ(s.fractal->render.tracingDepth, 1);
  EXPECT_EQ(s.fractal->render.antialiasing, 1);
  EXPECT_EQ(s.fractal->lighting.ambientLight, (engine::Rgb{0, 0, 0}));
  EXPECT_TRUE(s.fractal->lighting.lights.empty());
  EXPECT_EQ(s.frame.errorLine, -1);
}

// The stop arrives at the first output: neither the syntax error after it
// nor, after 100,000 statements, the missing camera statement is reported,
// as the parse reads no further.
TEST(BuildDriver, AStopEndsTheParseSilently) {
  std::string sets;
  for (int i = 0; i < 100000; ++i) sets += "set S = scale(0.5) S;\n";
  for (const std::string& rest : {std::string("y = ;"), sets}) {
    Scene s;
    CancelOnOutput stop(s.fractal->canceled);
    EXPECT_FALSE(s.run("echo 1;\n" + rest));
    EXPECT_EQ(s.output.err(), "");
  }
}

// The pre-scan reads the maps to choose the scene's type and notes the
// frames, executing nothing.
TEST(TypeScan, ChoosesTheTypeFromTheMaps) {
  const struct {
    const char* script;
    int type;  // 0 affine, 1 conformal, -2 failed
    const char* err;
  } cases[] = {
      {"set A = translate(1, 2, 3) rotate(1, 0, 0, 30) reflect(1, 0, 0) scale(0.5) 0.3 A;", 0, ""},
      {"echo \"x\"; randomize(0.5); while (1) ; camera fov(1);", 0, ""},
      {"x = = ;", 0, ""},  // syntax errors elsewhere are left to the build
      {"set A = 0.5 stretch(0, 0, 1, 0.3) A + rotate_v(1, 0, 0, 0, 1, 0) A;", 1, ""},
      {"set A = scale(1, 2) A;", -2, "error: line 1:9: wrong number of arguments in map\n"},
  };
  for (const auto& c : cases) {
    engine::FrameBuffer frame;
    frame.scriptText = c.script;
    CapturedOutput output;
    EXPECT_EQ(BuildDriver::detectFractalType(frame), c.type) << c.script;
    EXPECT_EQ(output.out(), "") << c.script;
    EXPECT_EQ(output.err(), c.err) << c.script;
    const auto scene = createScene(frame);
    EXPECT_EQ(scene ? int(scene->type()) : -2, c.type) << c.script;
  }
}

}  // namespace
}  // namespace lang::testing
