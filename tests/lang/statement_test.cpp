#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

std::string errorOf(const std::string& script) {
  Interpreter s(script);
  return s.run();
}

TEST(Program, EmptyTextIsAnError) {
  EXPECT_EQ(errorOf(""), "error: line 0:0: Empty source file!");
  EXPECT_EQ(errorOf("// only a comment\n"), "error: line 0:0: Empty source file!");
  EXPECT_EQ(errorOf(";"), "");
}

TEST(Program, StrayClosingTokensEndTheStatements) {
  EXPECT_EQ(errorOf("x = 1;\n}"), "error: line 2:1: expecting EOF, found '}'");
  EXPECT_EQ(errorOf("else x = 1;"), "error: line 1:1: unexpected token: else");
  EXPECT_EQ(errorOf("x = 1"), "error: line 1:6: unexpected end of file");
}

TEST(For, RunsBodyStepAndConditionFromTheirTokens) {
  Interpreter s("for (i = 0; i < 3; i++) echo i;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "0\n1\n2\n");
  EXPECT_EQ(s.value("i"), 3);
  EXPECT_TRUE(s.marksBalanced());
}

TEST(For, FalseConditionSkipsBodyAndStep) {
  Interpreter s("for (i = 0; 0; i++) { echo \"x\"; j = 1; }");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "");
  EXPECT_EQ(s.value("i"), 0);
  EXPECT_FALSE(s.exists("j"));
  EXPECT_TRUE(s.marksBalanced());
}

TEST(For, AllThreeExpressionsAreRequired) {
  EXPECT_EQ(errorOf("for (;;) x = 1;"), "error: line 1:6: unexpected token: ;");
  EXPECT_EQ(errorOf("for (i = 0; i < 3) x = 1;"), "error: line 1:18: expecting ';', found ')'");
}

TEST(For, ConditionSeesChangesMadeByTheBody) {
  Interpreter s("n = 10; k = 0; for (i = 0; i < n; i++) { n = n - 1; k++; }");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("k"), 5);
}

TEST(Loops, NestedLoopsKeepTheirMarksBalanced) {
  Interpreter s(
      "sum = 0;\n"
      "for (i = 0; i < 4; i++) {\n"
      "  j = 0;\n"
      "  while (j < i) { k = 0; do { sum += 1; k++; } while (k < 2); j++; }\n"
      "}\n"
      "after = 1;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("sum"), 12);  // 2 * (0 + 1 + 2 + 3)
  EXPECT_EQ(s.value("after"), 1);
  EXPECT_TRUE(s.marksBalanced());
}

TEST(While, Loops) {
  Interpreter s("n = 0; while (n < 5) n += 2; while (0) { m = 1; }");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("n"), 6);
  EXPECT_FALSE(s.exists("m"));
  EXPECT_TRUE(s.marksBalanced());
}

TEST(Do, BodyRunsAtLeastOnce) {
  Interpreter s("do { n = 1; } while (0); c = 0; do { c++; } while (c < 4);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("n"), 1);
  EXPECT_EQ(s.value("c"), 4);
  EXPECT_TRUE(s.marksBalanced());
}

TEST(Do, BodyMustBeABlock) {
  EXPECT_EQ(errorOf("do x = 1; while (0);"), "error: line 1:4: expecting '{', found 'x'");
  EXPECT_EQ(errorOf("do { x = 1; } while (0)"), "error: line 1:24: expecting ';', found ''");
}

TEST(If, BranchesAndDanglingElse) {
  Interpreter s("if (1) if (0) a = 1; else a = 2; if (0) b = 1; else b = 3; if (2) c = 1;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("a"), 2);
  EXPECT_EQ(s.value("b"), 3);
  EXPECT_EQ(s.value("c"), 1);
}

TEST(If, UntakenBranchExecutesNothing) {
  Interpreter s(
      "if (0) for (i = 0; i < 5; i++) k++; if (0) while (1) w++; if (0) { angles radian; }");
  ASSERT_EQ(s.run(), "");
  EXPECT_FALSE(s.exists("i"));
  EXPECT_FALSE(s.exists("k"));
  EXPECT_FALSE(s.exists("w"));
  EXPECT_FALSE(s.scene->useRadians);
  EXPECT_TRUE(s.marksBalanced());
}

TEST(Loops, LoopInsideASkippedBodyIsReadOnce) {
  Interpreter s("for (i = 0; 0; i++) for (j = 0; j < 3; j++) echo j; done = 1;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "");
  EXPECT_FALSE(s.exists("j"));
  EXPECT_EQ(s.value("done"), 1);
}

TEST(Loops, AliasInALoopIsSubstitutedOnceWhenFirstRead) {
  Interpreter s("r := 1; for (i = 0; i < 3; i++) { echo r; r := 2; } echo r;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "1\n1\n1\n2\n");
}

TEST(Loops, AliasDefinedInAnUntakenBranchIsStillDefined) {
  Interpreter s("if (0) { r := 5; } x = r;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("x"), 5);
}

TEST(Loops, CancelEndsEndlessLoopsAndTheStatementsAfterThem) {
  for (const std::string loop : {"while (1) { n++; if (n == 100) echo 1; }",
                                 "for (i = 0; 1; i++) { n++; if (n == 100) echo 1; }",
                                 "do { n++; if (n == 100) echo 1; } while (1);"}) {
    Interpreter s("n = 0; " + loop + " after = 1;");
    CancelOnOutput stop(s.scene->canceled);
    EXPECT_EQ(s.run(), "") << loop;
    EXPECT_EQ(s.value("n"), 100) << loop;
    EXPECT_FALSE(s.exists("after")) << loop;
    EXPECT_TRUE(s.marksBalanced()) << loop;
  }
}

TEST(Loops, CancelFromAnotherThread) {
  Interpreter s("while (1) n++; after = 1;");
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    s.scene->canceled = true;
  });
  EXPECT_EQ(s.run(), "");
  stopper.join();
  EXPECT_FALSE(s.exists("after"));
}

TEST(Echo, ItemsAreWrittenWithoutSeparators) {
  Interpreter s("echo \"a\", 1, \"b\"; echo; echo 'q' 2 \"\\\"\"; echo ,, \"x\" 1 ,, 2 \"y\";");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "a1b\n\nq2\\\"\nx12y\n");
}

TEST(Echo, TwoValuesNeedASeparator) {
  EXPECT_EQ(errorOf("echo 1 2;"), "error: line 1:8: unexpected token: 2");
  EXPECT_EQ(errorOf("echo 1, 2 3;"), "error: line 1:11: unexpected token: 3");
}

TEST(Echo, NumbersUseEighteenDigitsFromThenOn) {
  Interpreter s("echo 0.1; echo 1/3, \" \", 1e21, \" \", 2;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "0.100000000000000006\n0.333333333333333315 1e+21 2\n");
  EXPECT_EQ(std::cout.precision(), 18);
}

TEST(Echo, SuppressedEchoWritesNothingButEvaluates) {
  Interpreter s("if (0) echo \"x\", y = 3;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "");
  EXPECT_FALSE(s.exists("y"));
}

TEST(Settings, RenderSettings) {
  Interpreter s(
      "angles radian; tracing_depth(3); antialiasing(2); section(0, 0, 1, 0.5); "
      "precision(); precision(1, 2); fps(24.9);");
  ASSERT_EQ(s.run(), "");
  EXPECT_TRUE(s.scene->useRadians);
  EXPECT_EQ(s.scene->tracingDepth, 3);
  EXPECT_EQ(s.scene->antialiasing, 2);
  EXPECT_TRUE(s.scene->sectionEnabled);
  EXPECT_EQ(s.scene->sectionNormal, engine::Vec3(0, 0, 1));
  EXPECT_EQ(s.scene->sectionOffset, 0.5);
  EXPECT_EQ(s.parser.frameRate, 24);
}

TEST(Settings, AnglesBackToDegrees) {
  Interpreter s("angles radian; angles degree; x = sin(90);");
  ASSERT_EQ(s.run(), "");
  EXPECT_FALSE(s.scene->useRadians);
  EXPECT_DOUBLE_EQ(s.value("x"), 1);
}

TEST(Settings, FpsIsTakenEvenWhenSuppressed) {
  Interpreter s("if (0) { fps(30); tracing_depth(5); section(1, 0, 0, 1); }");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.parser.frameRate, 30);
  EXPECT_EQ(s.scene->tracingDepth, 1);
  EXPECT_FALSE(s.scene->sectionEnabled);
}

TEST(Settings, IntegerLiteralsOnly) {
  EXPECT_EQ(errorOf("tracing_depth(2 + 1);"), "error: line 1:17: expecting ')', found '+'");
  EXPECT_EQ(errorOf("antialiasing(n);"), "error: line 1:14: expecting integer, found 'n'");
  EXPECT_EQ(errorOf("precision(1, 2, 3);"),
            "error: line 1:10: too many arguments in function call");
  EXPECT_EQ(errorOf("section(1, 2, 3);"), "error: line 1:8: too few arguments in function call");
  EXPECT_EQ(errorOf("angles grad;"), "error: line 1:8: unexpected token: grad");
}

TEST(Random, RandomizeSeedsRndAndPrints) {
  Interpreter s("randomize(1/3); x = rnd(1); randState(0.25);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "randomize(0.33333333333333)\nrandState(0.25)\n");
  engine::RandomState expected;
  expected.seed(1.0 / 3);
  EXPECT_EQ(s.value("x"), expected.unit());
  engine::RandomState scene;
  scene.seed(0.25);
  EXPECT_EQ(s.scene->sceneRandomState, scene);
}

TEST(Random, SuppressedRandomizeDoesNothing) {
  Interpreter s("if (0) randomize(0.5);");
  const engine::RandomState before = s.frameBuffer.randomState;
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "");
  EXPECT_EQ(s.frameBuffer.randomState, before);
}

TEST(SaveFrame, NeedsSetsAndACamera) {
  EXPECT_EQ(errorOf("save_frame();"), "error: no set defined!");
  Interpreter s("build A;\nset B = scale(0.5) C;\nsave_frame();");
  EXPECT_EQ(s.run(), "error: undefined sets found");
  EXPECT_EQ(s.err(),
            "error: set 'A' is used but not defined\n"
            "error: set 'C' is used but not defined\n");
  EXPECT_EQ(errorOf("set A = scale(0.5) A; build A; save_frame();"),
            "error: camera statement not found");
  EXPECT_EQ(errorOf("if (0) save_frame(); save_frame(1);"),
            "error: line 1:33: expecting ')', found '1'");
}

TEST(SaveFrame, FailedRenderStopsTheScript) {
  // A set without maps cannot be compiled: the render cancels the scene.
  Interpreter s(
      "camera position(0, 0, -5) vertical(0, 1, 0);\n"
      "set A = A; build A;\n"
      "  save_frame(); after = 1;");
  EXPECT_EQ(s.run(), "error: line 3:3: canceled by user");
  EXPECT_EQ(s.scene->renderError, "No maps found");
  EXPECT_FALSE(s.exists("after"));
  EXPECT_EQ(s.frameBuffer.frameCount, 0);
}

constexpr const char* kFrameScene =
    "camera position(0, 0, -5) vertical(0, 1, 0);\n"
    "light color(1) position(0, 5, -5);\n"
    "set A = 0.5 A + translate(1, 0, 0) 0.5 A + translate(0, 1, 0) 0.5 A; build A;\n";

// An interpreter of a small image, so frames render fast.
std::unique_ptr<Interpreter> frameScript(const std::string& text) {
  auto s = std::make_unique<Interpreter>(text);
  s->frameBuffer.requestedWidth = 32;
  s->frameBuffer.requestedHeight = 24;
  return s;
}

TEST(SaveFrame, RenderedFrameNeedsATaker) {
  const auto noSink = frameScript(std::string(kFrameScene) + "save_frame();");
  EXPECT_EQ(noSink->run(), "error: line 4:1: can't save frame");
  EXPECT_TRUE(noSink->frameBuffer.valid);
  const auto refusing = frameScript(std::string(kFrameScene) + "save_frame();");
  refusing->frameBuffer.frameSink = [](engine::FrameBuffer&) { return false; };
  EXPECT_EQ(refusing->run(), "error: line 4:1: can't save frame");
  EXPECT_EQ(refusing->frameBuffer.frameCount, 0);
}

TEST(SaveFrame, TakenFramesStartTheNextFromScratch) {
  auto s = frameScript("for (i = 0; i < 3; i++) {\n" + std::string(kFrameScene) +
                       "save_frame(); }\nafter = 1;");
  int frames = 0;
  s->frameBuffer.frameSink = [&](engine::FrameBuffer& frame) {
    EXPECT_TRUE(frame.valid);
    EXPECT_EQ(frame.width, 32u);
    return ++frames > 0;
  };
  // The same names are defined anew for every frame: no redefinition.
  ASSERT_EQ(s->run(), "");
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(s->frameBuffer.frameCount, 3);
  EXPECT_TRUE(s->parser.frameSaved);
  EXPECT_EQ(s->scene->rootSet(), nullptr);
  EXPECT_TRUE(s->scene->mapTable.empty());
  EXPECT_TRUE(s->scene->lights.empty());
  EXPECT_TRUE(s->parser.setNames.empty());
  EXPECT_EQ(s->value("after"), 1);
}

TEST(SaveFrame, BuildWithSavedFramesIsNotRenderedAgain) {
  engine::FrameBuffer frame;
  frame.requestedWidth = 32;
  frame.requestedHeight = 24;
  int frames = 0;
  frame.frameSink = [&](engine::FrameBuffer&) { return ++frames > 0; };
  // After the last frame no set is left: a final render would fail.
  const BuildResult result = build(std::string(kFrameScene) + "save_frame();", &frame);
  EXPECT_TRUE(result.built);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(frames, 1);
}

}  // namespace
}  // namespace lang::testing
