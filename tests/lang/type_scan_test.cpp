#include <string>

#include <gtest/gtest.h>

#include "lang/build_driver.h"
#include "script_harness.h"

namespace lang::testing {
namespace {

struct Scan {
  int type;
  std::string out, err;
  bool savesFrames;
  int framesPerSecond, errorLine;
};

Scan scan(const std::string& text) {
  engine::FrameBuffer frame;
  frame.scriptText = text;
  CapturedOutput output;
  const int type = BuildDriver::detectFractalType(frame);
  return {type,           output.out(), output.err(), frame.savesFrames, frame.framesPerSecond,
          frame.errorLine};
}

TEST(TypeScan, AffineMapsOrNoneChooseTheAffineType) {
  EXPECT_EQ(
      scan("set A = translate(1, 2, 3) rotate(1, 0, 0, 30) reflect(1, 0, 0) scale(0.5) 0.3 A;")
          .type,
      0);
  EXPECT_EQ(scan("x = 1;").type, 0);
  EXPECT_EQ(scan("").type, 0);
  EXPECT_EQ(scan("set A = scale(1, 2, 3) A;").type, 0);
  EXPECT_EQ(scan("set A = rotate(0, 0, 1, 30, 2, 1) A;").type, 0);
  EXPECT_EQ(scan("set A = matrix(1, 0, 0, 0, 1, 0, 0, 0, 1) A;").type, 0);
  EXPECT_EQ(scan("set A = affine2d(1, 0, 0, 1, 0, 0) A;").type, 0);
}

TEST(TypeScan, InversionsAndStretchesChooseTheConformalType) {
  EXPECT_EQ(scan("set A = inverse() A;").type, 1);
  EXPECT_EQ(scan("set A = 0.5 stretch(0, 0, 1, 0.3) A + rotate_v(1, 0, 0, 0, 1, 0) A;").type, 1);
  EXPECT_EQ(scan("set A = inverse() A; set B = scale(0.5) B;").type, 1);
}

TEST(TypeScan, ConflictingMapsFailTheScan) {
  const Scan result = scan("set A = inverse() A;\nset B = scale(0.5) matrix(1,0,0,0,1,0,0,0,1) B;");
  EXPECT_EQ(result.type, -2);
  EXPECT_EQ(result.err,
            "error: line 2:20: Can't detect fractal type: map 'inverse' conficts with map "
            "'matrix'\n");
  engine::FrameBuffer frame;
  frame.scriptText = "set A = scale(1, 1, 2) stretch(1, 0, 0, 0.5) A;";
  CapturedOutput quiet;
  EXPECT_EQ(createScene(frame), nullptr);
}

TEST(TypeScan, CreatesTheSceneOfTheType) {
  engine::FrameBuffer frame;
  CapturedOutput quiet;
  frame.scriptText = "set A = inverse(0, 0, 0, 2) A;";
  EXPECT_EQ(createScene(frame)->type(), engine::FractalType::Conformal);
  frame.scriptText = "set A = 0.5 A;";
  EXPECT_EQ(createScene(frame)->type(), engine::FractalType::Affine);
}

TEST(TypeScan, ExecutesNothing) {
  const Scan result = scan("echo \"x\"; randomize(0.5); while (1) ; camera fov(1);");
  EXPECT_EQ(result.type, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
}

TEST(TypeScan, NotesFramesAndTheirRate) {
  const Scan result = scan("fps(25); for (i = 0; i < 3; i++) save_frame();");
  EXPECT_TRUE(result.savesFrames);
  EXPECT_EQ(result.framesPerSecond, 25);
  EXPECT_EQ(result.errorLine, -1);
  const Scan computed = scan("fps(2 * 12);");
  EXPECT_FALSE(computed.savesFrames);
  EXPECT_EQ(computed.framesPerSecond, 0);
}

TEST(TypeScan, ErrorsInMapCallsAndTheLexerFailTheScan) {
  EXPECT_EQ(scan("set A = scale(1 +) A;").err, "error: line 1:18: unexpected token: )\n");
  EXPECT_EQ(scan("set A = scale(1, 2) A;").err,
            "error: line 1:9: wrong number of arguments in map\n");
  const Scan recursion = scan("a := b;\nb := a;\nx = a;");
  EXPECT_EQ(recursion.type, -2);
  EXPECT_EQ(recursion.err, "error: line 1: recursion found in substitution: a\n");
  EXPECT_EQ(scan("x = $;").err, "error: line 1:5: unexpected char: '$'\n");
  // Syntax errors elsewhere are left to the build.
  EXPECT_EQ(scan("x = = ;").type, 0);
}

}  // namespace
}  // namespace lang::testing
