#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "script_harness.h"

namespace lang::testing {
namespace {

// The value of `x` after running "x = <expression>;".
double eval(const std::string& expression) {
  Interpreter s("x = " + expression + ";");
  const std::string error = s.run();
  EXPECT_EQ(error, "") << expression;
  return s.value("x");
}

std::string errorOf(const std::string& script) {
  Interpreter s(script);
  return s.run();
}

TEST(Expression, LiteralsAndConstants) {
  EXPECT_EQ(eval("42"), 42);
  EXPECT_EQ(eval("1.5e2"), 150);
  EXPECT_EQ(eval(".25"), 0.25);
  EXPECT_EQ(eval("5."), 5);
  EXPECT_EQ(eval("true"), 1);
  EXPECT_EQ(eval("false"), 0);
  EXPECT_EQ(eval("PI"), 3.141592653589793);
  EXPECT_EQ(eval("E"), 2.718281828459045);
}

TEST(Expression, Precedence) {
  EXPECT_EQ(eval("1 + 2 * 3"), 7);
  EXPECT_EQ(eval("(1 + 2) * 3"), 9);
  EXPECT_EQ(eval("10 - 4 - 3"), 3);
  // Powers go through the base-2 logarithm, so they are not always exact.
  EXPECT_DOUBLE_EQ(eval("2 * 3 ^ 2"), 18);
  EXPECT_EQ(eval("1 + 2 < 4 == 1"), 1);
  EXPECT_EQ(eval("7 % 4 * 2"), 6);
  EXPECT_EQ(eval("-7 % 4"), -3);
}

TEST(Expression, PowerIsLeftAssociativeAndNeedsAPositiveBase) {
  EXPECT_EQ(eval("2 ^ 3 ^ 2"), 64);
  EXPECT_DOUBLE_EQ(eval("2 ^ 0.5"), std::sqrt(2.0));
  EXPECT_TRUE(std::isnan(eval("(-8) ^ (1/3)")));
  EXPECT_TRUE(std::isnan(eval("0 ^ 2")));
  // Unary minus binds tighter: (-2)^2.
  EXPECT_TRUE(std::isnan(eval("-2 ^ 2")));
}

TEST(Expression, ComparisonsAndNegationGiveOneOrZero) {
  EXPECT_EQ(eval("3 > 2"), 1);
  EXPECT_EQ(eval("3 >= 4"), 0);
  EXPECT_EQ(eval("2 <= 2"), 1);
  EXPECT_EQ(eval("2 != 2"), 0);
  EXPECT_EQ(eval("!5"), 0);
  EXPECT_EQ(eval("!0"), 1);
  EXPECT_EQ(eval("-+-3"), 3);
}

TEST(Expression, ArithmeticNeverRaises) {
  EXPECT_TRUE(std::isinf(eval("1 / 0")));
  EXPECT_TRUE(std::isnan(eval("0 / 0")));
  EXPECT_TRUE(std::isnan(eval("sqrt(-1)")));
  EXPECT_TRUE(std::isinf(eval("1e400")));
}

TEST(Expression, LogicalOperatorsYieldTheDecidingOperand) {
  EXPECT_EQ(eval("0 || 5"), 5);
  EXPECT_EQ(eval("3 || 5"), 3);
  EXPECT_EQ(eval("2 && 5"), 5);
  EXPECT_EQ(eval("0 && 5"), 0);
}

TEST(Expression, ShortCircuitsSkipTheOtherOperand) {
  Interpreter s("a = 0 && (q = 5); b = 1 || (r = 5); c = 1 && (t = 6); d = 0 || (u = 7);");
  ASSERT_EQ(s.run(), "");
  EXPECT_FALSE(s.exists("q"));
  EXPECT_FALSE(s.exists("r"));
  EXPECT_EQ(s.value("t"), 6);
  EXPECT_EQ(s.value("u"), 7);
  EXPECT_EQ(s.value("d"), 7);
}

TEST(Expression, ConditionalEvaluatesOneBranch) {
  Interpreter s("x = 1 ? (a = 1) : (b = 2); y = 0 ? (c = 1) : (d = 2); z = 0 ? 1 : 0 ? 2 : 3;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("x"), 1);
  EXPECT_EQ(s.value("y"), 2);
  EXPECT_EQ(s.value("z"), 3);
  EXPECT_TRUE(s.exists("a"));
  EXPECT_FALSE(s.exists("b"));
  EXPECT_FALSE(s.exists("c"));
  EXPECT_TRUE(s.exists("d"));
}

TEST(Expression, ConditionalMiddleMayBeAList) {
  EXPECT_EQ(eval("1 ? 2, 3 : 4"), 3);
}

TEST(Expression, AssignmentValuesAreTheRightSide) {
  Interpreter s("x = (y = 2) + 1; w = 5; z = (w += 10); v = a = b = 4;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("y"), 2);
  EXPECT_EQ(s.value("x"), 3);
  EXPECT_EQ(s.value("w"), 15);
  EXPECT_EQ(s.value("z"), 10);
  EXPECT_EQ(s.value("a"), 4);
  EXPECT_EQ(s.value("v"), 4);
}

TEST(Expression, CompoundAssignments) {
  Interpreter s(
      "a = 7; a -= 2; b = 3; b *= 4; c = 9; c /= 2; d = 7; d %= 4; e = 2; e ^= 10; f = 1; f += "
      "0.5;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("a"), 5);
  EXPECT_EQ(s.value("b"), 12);
  EXPECT_EQ(s.value("c"), 4.5);
  EXPECT_EQ(s.value("d"), 3);
  EXPECT_EQ(s.value("e"), 1024);
  EXPECT_EQ(s.value("f"), 1.5);
}

TEST(Expression, ReadingAnUnknownVariableDefinesItSilently) {
  Interpreter s("y = x;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("x"), 0);
  EXPECT_EQ(s.value("y"), 0);
  EXPECT_EQ(s.out(), "");
}

TEST(Expression, IncrementsAndTheUndefinedWarning) {
  Interpreter s("\n\ny = x++;\nz = ++w; v = --w; u = w--; t = w; k = 1; k++;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.out(),
            "warning: line 3: variable 'x' is undefined\n"
            "warning: line 4: variable 'w' is undefined\n");
  EXPECT_EQ(s.value("x"), 1);
  EXPECT_EQ(s.value("y"), 0);
  EXPECT_EQ(s.value("z"), 1);
  EXPECT_EQ(s.value("v"), 0);
  EXPECT_EQ(s.value("u"), 0);
  EXPECT_EQ(s.value("t"), -1);
  EXPECT_EQ(s.value("k"), 2);
}

TEST(Expression, IndexedNamesAreSeparateVariables) {
  Interpreter s("a[1.7] = 3; b = a[1]; i = 2; m[i][i + 1] = 5; n[-1.5] = 1;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("a.1"), 3);
  EXPECT_EQ(s.value("b"), 3);
  EXPECT_EQ(s.value("m.2.3"), 5);
  EXPECT_EQ(s.value("n.-1"), 1);
  EXPECT_FALSE(s.exists("a"));
}

TEST(Expression, HugeIndexesAreClamped) {
  Interpreter s("a[1e300] = 1; a[0/0] = 2;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("a.2147483647"), 1);
  EXPECT_EQ(s.value("a.0"), 2);
}

TEST(Expression, ParenthesesPassTheVariableThrough) {
  Interpreter s("(x) = 1; (y, z) = 2;");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("x"), 1);
  EXPECT_EQ(s.value("z"), 2);
}

TEST(Expression, OnlyVariablesAreAssignable) {
  EXPECT_EQ(errorOf("x = 1;\n3 = 4;"), "error: line 2:3: not a l-value in assigment");
  EXPECT_EQ(errorOf("x++ = 1;"), "error: line 1:5: not a l-value in assigment");
  EXPECT_EQ(errorOf("(x = 1) = 2;"), "error: line 1:9: not a l-value in assigment");
  EXPECT_EQ(errorOf("-x += 1;"), "error: line 1:4: not a l-value in assigment");
  EXPECT_EQ(errorOf("if (0) 3 = 4;"), "");
}

TEST(Expression, UnsupportedOperatorsAreSyntaxErrors) {
  EXPECT_EQ(errorOf("x = 1 & 2;"), "error: line 1:7: unexpected token: &");
  EXPECT_EQ(errorOf("x = 1 << 2;"), "error: line 1:7: unexpected token: <<");
  EXPECT_EQ(errorOf("x = ~1;"), "error: line 1:5: unexpected token: ~");
  EXPECT_EQ(errorOf("x = a -> b;"), "error: line 1:7: unexpected token: ->");
  EXPECT_EQ(errorOf("x = (1;"), "error: line 1:7: expecting ')', found ';'");
  EXPECT_EQ(errorOf("x = a[1;"), "error: line 1:8: expecting ']', found ';'");
  EXPECT_EQ(errorOf("x = 0x1F;"), "error: line 1:5: unexpected token: 1F");
  EXPECT_EQ(errorOf("x = .;"), "error: line 1:5: unexpected token: .");
}

TEST(Functions, TrigonometryInDegreesByDefault) {
  EXPECT_DOUBLE_EQ(eval("sin(90)"), 1);
  EXPECT_DOUBLE_EQ(eval("cos(60)"), 0.5);
  EXPECT_DOUBLE_EQ(eval("tan(45)"), 1);
  EXPECT_DOUBLE_EQ(eval("atan(1)"), 45);
  EXPECT_DOUBLE_EQ(eval("atan2(1, -1)"), 135);
  EXPECT_DOUBLE_EQ(eval("arg(-1, 1)"), 135);
}

TEST(Functions, TrigonometryInRadians) {
  Interpreter s("angles radian; x = atan(1); y = sin(PI / 2); z = arg(0, 2);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("x"), 0.7853981633974483);
  EXPECT_DOUBLE_EQ(s.value("y"), 1);
  EXPECT_DOUBLE_EQ(s.value("z"), M_PI / 2);
}

TEST(Functions, Others) {
  EXPECT_DOUBLE_EQ(eval("ln(E)"), 1);
  EXPECT_DOUBLE_EQ(eval("log(1)"), 0);
  EXPECT_DOUBLE_EQ(eval("exp(2)"), std::exp(2.0));
  EXPECT_EQ(eval("sqrt(16)"), 4);
  EXPECT_EQ(eval("abs(-3)"), 3);
  EXPECT_EQ(eval("sign(-3)"), -1);
  EXPECT_EQ(eval("sign(0)"), 0);
  EXPECT_EQ(eval("sign(7)"), 1);
  EXPECT_EQ(eval("max(2, 5)"), 5);
  EXPECT_EQ(eval("min(2, 5)"), 2);
  EXPECT_EQ(eval("int(-2.7)"), -2);
  EXPECT_EQ(eval("int(2.7)"), 2);
}

TEST(Functions, ArgumentCounts) {
  EXPECT_EQ(errorOf("x = 1;\ny = max(1);"), "error: line 2:8: too few arguments in function call");
  EXPECT_EQ(errorOf("y = sqrt(1, 2);"), "error: line 1:9: too many arguments in function call");
  EXPECT_EQ(errorOf("y = sin();"), "error: line 1:8: too few arguments in function call");
  EXPECT_EQ(errorOf("y = arg(1);"), "error: line 1:10: expecting ',', found ')'");
  EXPECT_EQ(errorOf("y = PI();"), "error: line 1:7: unexpected token: (");
}

TEST(Functions, ExtraArgumentsAreStillEvaluated) {
  Interpreter s("y = sqrt(4, z = 3);");
  EXPECT_NE(s.run(), "");
  EXPECT_EQ(s.value("z"), 3);
}

TEST(Functions, RndDrawsFromTheFrameBufferGenerator) {
  Interpreter s("randomize(0.5); a = rnd(2); b = rnd(1); if (0) c = rnd(1);");
  ASSERT_EQ(s.run(), "");
  EXPECT_EQ(s.value("a"), 1.0);
  engine::RandomState expected;
  expected.seed(0.5);
  expected.next();
  EXPECT_EQ(s.value("b"), expected.unit());
  expected.next();
  // The suppressed call left the generator alone.
  EXPECT_EQ(s.frameBuffer.randomState, expected);
}

TEST(Expression, DeepNestingIsAnErrorNotACrash) {
  const std::string deep(100000, '(');
  EXPECT_EQ(errorOf("x = " + deep + "1;").rfind("error: line 1:", 0), 0u);
  std::string negations;
  for (int i = 0; i < 5000; ++i) negations += "- ";
  EXPECT_NE(errorOf("x = " + negations + "1;").find("nesting too deep"), std::string::npos);
  EXPECT_NE(errorOf(std::string(5000, '{') + std::string(5000, '}')).find("nesting too deep"),
            std::string::npos);
  // Ordinary depths are fine.
  EXPECT_EQ(eval(std::string(60, '(') + "1" + std::string(60, ')')), 1);
}

}  // namespace
}  // namespace lang::testing
