#include <string>

#include <gtest/gtest.h>

#include "lang/build_driver.h"
#include "script_harness.h"

namespace lang::testing {
namespace {

constexpr const char* kScene =
    "camera position(0, 0, -5) vertical(0, 1, 0);\n"
    "light color(1) position(0, 5, -5);\n"
    "set A = scale(0.5) A + translate(0.5, 0, 0) scale(0.5) A;\n"
    "build A;\n";

TEST(BuildDriver, EmptyTextFails) {
  const BuildResult result = build("/* nothing */\n");
  EXPECT_FALSE(result.built);
  EXPECT_EQ(result.err, "error: line 0:0: Empty source file!\n");
}

TEST(BuildDriver, ScriptWithoutSceneDrawsNothingSilently) {
  const BuildResult result = build("x = 2; echo x * 3; angles radian;");
  EXPECT_FALSE(result.built);
  EXPECT_TRUE(result.drewNothing);
  EXPECT_EQ(result.out, "6\n");
  EXPECT_EQ(result.err, "");
}

TEST(BuildDriver, LightsOrSetsNeedACamera) {
  EXPECT_EQ(build("light color(1) position(0, 0, 0);").err, "error: camera statement not found\n");
  const BuildResult sets = build("set A = 0.5 A; build A;");
  EXPECT_EQ(sets.err, "error: camera statement not found\n");
  EXPECT_FALSE(sets.drewNothing);
  EXPECT_EQ(build("clearSets;").err, "error: camera statement not found\n");
}

TEST(BuildDriver, CameraWithoutBuild) {
  EXPECT_EQ(build("camera position(0, 0, -5) vertical(0, 1, 0); set A = 0.5 A;").err,
            "error: no set defined!\n");
}

TEST(BuildDriver, EveryUndefinedSetIsReportedInNameOrder) {
  const BuildResult result = build(
      "camera position(0, 0, -5) vertical(0, 1, 0);\n"
      "set Z = 0.5 Y + 0.5 B; build Z;");
  EXPECT_FALSE(result.built);
  EXPECT_EQ(result.err,
            "error: set 'B' is used but not defined\n"
            "error: set 'Y' is used but not defined\n");
}

TEST(BuildDriver, ErrorsOfEveryKindGetTheirPrefix) {
  EXPECT_EQ(build("x = 1;\ny = @;").err, "error: line 2:5: unexpected char: '@'\n");
  EXPECT_EQ(build("x = 1;\ny = ;").err, "error: line 2:5: unexpected token: ;\n");
  EXPECT_EQ(build("x = 1;\n3 = 4;").err, "error: line 2:3: not a l-value in assigment\n");
}

TEST(BuildDriver, PreScanErrorsKeepTheBuildFromStarting) {
  const BuildResult result = build("r := 1 + r;\nx = r;");
  EXPECT_FALSE(result.sceneCreated);
  EXPECT_EQ(result.err, "error: line 1: recursion found in substitution: r\n");
}

TEST(BuildDriver, EveryBuildStartsFromTheNextRandomState) {
  engine::FrameBuffer frame;
  const engine::RandomState start = frame.randomState;
  const BuildResult first = build("echo rnd(1);", &frame);
  const BuildResult second = build("echo rnd(1);", &frame);
  EXPECT_NE(first.out, second.out);
  engine::RandomState expected = start;
  expected.next();  // first build
  expected.next();  // its rnd
  expected.next();  // second build
  expected.next();  // its rnd
  EXPECT_EQ(frame.randomState, expected);
}

TEST(BuildDriver, PerBuildSettingsAreReset) {
  engine::FrameBuffer frame;
  frame.scriptText =
      "angles radian; tracing_depth(4); antialiasing(3); ambient(1); light color(1) "
      "position(0,0,0);";
  auto scene = engine::createFractal(0);
  scene->frameBuffer = &frame;
  CapturedOutput quiet;
  BuildDriver driver;
  driver.run(*scene);
  EXPECT_EQ(scene->antialiasing, 3);
  scene->canceled = true;
  frame.scriptText = "x = 1;";
  driver.run(*scene);
  EXPECT_FALSE(scene->canceled);
  EXPECT_FALSE(scene->useRadians);
  EXPECT_EQ(scene->tracingDepth, 1);
  EXPECT_EQ(scene->antialiasing, 1);
  EXPECT_EQ(scene->ambientLight, (engine::Rgb{0, 0, 0}));
  EXPECT_TRUE(scene->lights.empty());
  EXPECT_EQ(frame.errorLine, -1);
}

TEST(BuildDriver, CompleteSceneIsRendered) {
  engine::FrameBuffer frame;
  frame.requestedWidth = 40;
  frame.requestedHeight = 30;
  const BuildResult result = build(kScene, &frame);
  EXPECT_TRUE(result.built);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(frame.valid);
  EXPECT_EQ(frame.width, 40u);
}

TEST(BuildDriver, RenderErrorsFailTheBuildSilently) {
  const BuildResult result = build(
      "camera position(0, 0, -5) direction(0, 0, 0) vertical(0, 1, 0);\n"
      "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build A;");
  EXPECT_FALSE(result.built);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.scene->renderError, "Invalid direction");
}

TEST(BuildDriver, CanceledBuildsStaySilentAboutRecognitionErrors) {
  engine::FrameBuffer frame;
  auto scene = engine::createFractal(0);
  scene->frameBuffer = &frame;
  CapturedOutput output;
  CancelOnOutput stop(scene->canceled);
  frame.scriptText = "echo 1;\ny = ;";
  EXPECT_FALSE(BuildDriver().run(*scene));
  EXPECT_EQ(output.err(), "");
  // Errors without a position are printed all the same.
  frame.scriptText = "echo 1; clearSets;";
  EXPECT_FALSE(BuildDriver().run(*scene));
  EXPECT_EQ(output.err(), "error: camera statement not found\n");
}

TEST(BuildDriver, MissingFrameBufferIsReported) {
  auto scene = engine::createFractal(0);
  CapturedOutput output;
  EXPECT_FALSE(BuildDriver().run(*scene));
  EXPECT_EQ(output.err(), "error: the scene has no frame buffer\n");
}

TEST(BuildDriver, PrepareStageSkipsTheCameraCheck) {
  engine::FrameBuffer frame;
  frame.scriptText = "set A = 0.5 A; build B;";
  auto scene = engine::createFractal(0);
  scene->frameBuffer = &frame;
  CapturedOutput output;
  EXPECT_FALSE(BuildDriver(BuildDriver::Stage::Prepare).run(*scene));
  EXPECT_EQ(output.err(), "error: set 'B' is used but not defined\n");
}

}  // namespace
}  // namespace lang::testing
