#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

// Control flow and echo: what a script prints and the variables it leaves
// ("-": never defined). Every loop releases the marks it set.
TEST(Statements, OutputAndVariables) {
  const struct {
    const char* script;
    const char* out;
    const char* names;
    const char* values;
  } cases[] = {
      {"for (i = 0; i < 3; i++) echo i;", "0\n1\n2\n", "i", "3"},
      {"for (i = 0; 0; i++) { echo \"x\"; j = 1; }", "", "i j", "0 -"},
      {"n = 10; k = 0; for (i = 0; i < n; i++) { n = n - 1; k++; }", "", "k", "5"},
      {"sum = 0;\n"
       "for (i = 0; i < 4; i++) {\n"
       "  j = 0;\n"
       "  while (j < i) { k = 0; do { sum += 1; k++; } while (k < 2); j++; }\n"
       "}\n"
       "after = 1;",
       "", "sum after", "12 1"},
      {"n = 0; while (n < 5) n += 2; while (0) { m = 1; }", "", "n m", "6 -"},
      {"if (1) if (0) a = 1; else a = 2; if (0) b = 1; else b = 3; if (2) c = 1;", "", "a b c",
       "2 3 1"},
      {"if (0) for (i = 0; i < 5; i++) k++; if (0) while (1) w++; if (0) { angles radian; }\n"
       "d = sin(90);",
       "", "i k w d", "- - - 1"},
      // An alias in a loop is substituted once, when first read; one in an
      // untaken branch is defined all the same.
      {"r := 1; for (i = 0; i < 3; i++) { echo r; r := 2; } echo r;", "1\n1\n1\n2\n", "", ""},
      {"if (0) { r := 5; } x = r;", "", "x", "5"},
      {"echo \"a\", 1, \"b\"; echo; echo 'q' 2 \"\\\"\"; echo ,, \"x\" 1 ,, 2 \"y\";",
       "a1b\n\nq2\\\"\nx12y\n", "", ""},
      {"if (0) echo \"x\", y = 3;", "", "y", "-"},
  };
  for (const auto& c : cases) {
    Interpreter s(c.script);
    ASSERT_EQ(s.run(), "") << c.script;
    EXPECT_EQ(s.out(), c.out) << c.script;
    EXPECT_EQ(s.values(c.names), c.values) << c.script;
    EXPECT_TRUE(s.marksBalanced()) << c.script;
  }
}

TEST(Statements, EchoWritesNumbersWithEighteenDigitsFromThenOn) {
  Interpreter s("echo 0.1; echo 1/3, \" \", 1e21, \" \", 2;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "0.100000000000000006\n0.333333333333333315 1e+21 2\n");
  EXPECT_EQ(std::cout.precision(), 18);
}

TEST(Statements, CancelEndsEndlessLoopsAndTheStatementsAfterThem) {
  for (const std::string loop : {"while (1) { n++; if (n == 100) echo 1; }",
                                 "for (i = 0; 1; i++) { n++; if (n == 100) echo 1; }",
                                 "do { n++; if (n == 100) echo 1; } while (1);"}) {
    Interpreter s("n = 0; " + loop + " after = 1;");
    CancelOnOutput stop(s.scene->canceled);
    EXPECT_EQ(s.run(), "") << loop;
    EXPECT_EQ(s.values("n after"), "100 -") << loop;
    EXPECT_TRUE(s.marksBalanced()) << loop;
  }
  // The user's stop comes from another thread.
  Interpreter s("while (1) n++; after = 1;");
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    s.scene->canceled = true;
  });
  EXPECT_EQ(s.run(), "");
  stopper.join();
  EXPECT_FALSE(s.exists("after"));
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

TEST(SaveFrame, EveryUndefinedSetIsReported) {
  Interpreter s("build A;\nset B = scale(0.5) C;\nsave_frame();");
  EXPECT_EQ(s.run(), "error: undefined sets found");
  EXPECT_EQ(s.err(),
            "error: set 'A' is used but not defined\n"
            "error: set 'C' is used but not defined\n");
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

TEST(SaveFrame, RenderedFrameNeedsATaker) {
  for (const bool refusing : {false, true}) {
    const auto s = frameScript(std::string(kFrameScene) + "save_frame();");
    if (refusing) s->frameBuffer.frameSink = [](engine::FrameBuffer&) { return false; };
    EXPECT_EQ(s->run(), "error: line 4:1: can't save frame");
    EXPECT_TRUE(s->frameBuffer.valid);
    EXPECT_EQ(s->frameBuffer.frameCount, 0);
  }
}

TEST(SaveFrame, TakenFramesStartTheNextFromScratch) {
  auto s = frameScript("for (i = 0; i < 3; i++) {\n" + std::string(kFrameScene) +
                       "save_frame(); }\nafter = 1;");
  int frames = 0;
  s->frameBuffer.frameSink = [&](engine::FrameBuffer& frame) { return frame.valid && ++frames; };
  // The same names are defined anew for every frame: no redefinition.
  ASSERT_EQ(s->run(), "");
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(s->frameBuffer.frameCount, 3);
  EXPECT_TRUE(s->parser.frameSaved);
  EXPECT_EQ(s->scene->rootSet(), nullptr);
  EXPECT_TRUE(s->scene->mapTable.empty() && s->scene->lighting.lights.empty());
  EXPECT_EQ(s->values("after"), "1");
}

}  // namespace
}  // namespace lang::testing
