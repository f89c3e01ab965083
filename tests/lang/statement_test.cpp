#include <string>

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

}  // namespace
}  // namespace lang::testing
