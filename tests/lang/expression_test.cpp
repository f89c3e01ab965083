#include <string>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

// Scripts and the variables they leave ("-": never defined).
TEST(Expression, Values) {
  const struct {
    const char* script;
    const char* names;
    const char* values;
  } cases[] = {
      {"a = 42; b = 1.5e2; c = .25; d = 5.; e = true; f = false; g = PI; h = E;", "a b c d e f g h",
       "42 150 0.25 5 1 0 3.14159265358979 2.71828182845905"},
      // Precedence and associativity
      {"a = 1 + 2 * 3; b = (1 + 2) * 3; c = 10 - 4 - 3; d = 2 * 3 ^ 2; e = 1 + 2 < 4 == 1; "
       "f = 7 % 4 * 2; g = -7 % 4; h = 2 ^ 3 ^ 2;",
       "a b c d e f g h", "7 9 3 18 1 6 -3 64"},
      // Powers go through the base-2 logarithm: they need a positive base;
      // unary minus binds tighter.
      {"a = 2 ^ 0.5; b = (-8) ^ (1/3); c = 0 ^ 2; d = -2 ^ 2;", "a b c d",
       "1.4142135623731 nan nan nan"},
      // Comparisons and negation give one or zero; arithmetic never raises.
      {"a = 3 > 2; b = 3 >= 4; c = 2 <= 2; d = 2 != 2; e = !5; f = !0; g = -+-3;", "a b c d e f g",
       "1 0 1 0 0 1 3"},
      {"a = 1 / 0; b = 0 / 0; c = sqrt(-1); d = 1e400;", "a b c d", "inf nan nan inf"},
      // Literals beyond the range of double: too small is zero, too large infinity.
      {"a = 1e-400; b = 0.00001e-320; c = 12345e305; d = 0.0001e312 / 1e300;", "a b c d",
       "0 0 inf 100000000"},
      // Logical operators yield the deciding operand and skip the other.
      {"a = 0 || 5; b = 3 || 5; c = 2 && 5; d = 0 && 5; e = 1 ? 2, 3 : 4;", "a b c d e",
       "5 3 5 0 3"},
      {"a = 0 && (q = 5); b = 1 || (r = 5); c = 1 && (t = 6); d = 0 || (u = 7);", "q r t u d",
       "- - 6 7 7"},
      {"x = 1 ? (a = 1) : (b = 2); y = 0 ? (c = 1) : (d = 2); z = 0 ? 1 : 0 ? 2 : 3;",
       "x y z a b c d", "1 2 3 1 - - 2"},
      // Functions; angles in degrees by default.
      {"a = sin(90); b = cos(60); c = tan(45); d = atan(1); e = atan2(1, -1); f = arg(-1, 1);",
       "a b c d e f", "1 0.5 1 45 135 135"},
      {"a = ln(E); b = log(1); c = exp(2); d = sqrt(16); e = abs(-3); f = sign(-3); g = sign(0); "
       "h = sign(7);",
       "a b c d e f g h", "1 0 7.38905609893065 4 3 -1 0 1"},
      {"a = max(2, 5); b = min(2, 5); c = int(-2.7); d = int(2.7);", "a b c d", "5 2 -2 2"},
      {"angles radian; x = atan(1); y = sin(PI / 2); z = arg(0, 2);", "x y z",
       "0.785398163397448 1 1.5707963267949"},
      // Assignments are expressions.
      {"x = (y = 2) + 1; w = 5; z = (w += 10); v = a = b = 4;", "y x w z a v", "2 3 15 10 4 4"},
      {"a = 7; a -= 2; b = 3; b *= 4; c = 9; c /= 2; d = 7; d %= 4; e = 2; e ^= 10; f = 1; "
       "f += 0.5;",
       "a b c d e f", "5 12 4.5 3 1024 1.5"},
      {"k = 1; y = k++; z = ++k; v = --k; u = k--;", "k y z v u", "1 1 3 2 2"},
      {"y = x;", "x y", "0 0"},  // reading defines silently; an increment warns (runner test)
      // Indexed names are separate variables; indexes are truncated and clamped.
      {"a[1.7] = 3; b = a[1]; i = 2; m[i][i + 1] = 5; n[-1.5] = 1;", "a.1 b m.2.3 n.-1 a",
       "3 3 5 1 -"},
      {"a[1e300] = 1; a[0/0] = 2;", "a.2147483647 a.0", "1 2"},
      {"(x) = 1; (y, z) = 2;", "x z", "1 2"},  // parentheses pass the variable through
  };
  for (const auto& c : cases) {
    Interpreter s(c.script);
    ASSERT_EQ(s.run(), "") << c.script;
    EXPECT_EQ(s.values(c.names), c.values) << c.script;
    EXPECT_EQ(s.out(), "") << c.script;
  }
  // Extra arguments are evaluated before the error.
  Interpreter extra("y = sqrt(4, z = 3);");
  EXPECT_NE(extra.run(), "");
  EXPECT_EQ(extra.values("z"), "3");
}

// rnd draws from the frame buffer's generator; randomize seeds it and
// randState the scene's colour generator, both printed. A suppressed call
// leaves the generator alone.
TEST(Expression, RandomNumbers) {
  Interpreter s("randomize(1/3); a = rnd(2); b = rnd(1); if (0) c = rnd(1); randState(0.25);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(), "randomize(0.33333333333333)\nrandState(0.25)\n");
  engine::RandomState expected;
  expected.seed(1.0 / 3);
  const double first = expected.unit();
  expected.next();
  EXPECT_EQ(s.values("a b"), number(2 * first) + " " + number(expected.unit()));
  expected.next();
  EXPECT_EQ(s.frameBuffer.randomState, expected);
  engine::RandomState scene;
  scene.seed(0.25);
  EXPECT_EQ(s.scene->sceneRandomState, scene);
}

}  // namespace
}  // namespace lang::testing
