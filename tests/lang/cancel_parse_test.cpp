#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "lang/build_driver.h"
#include "script_harness.h"

namespace lang::testing {
namespace {

TEST(CancelParse, AStopEndsTheParseWithoutReadingOn) {
  // The stop arrives at the first output; 100,000 statements follow. A parse
  // that read them all would complain at the end that the sets have no
  // camera statement.
  std::string script = "echo 1;\n";
  for (int i = 0; i < 100000; ++i) script += "set S = scale(0.5) S;\n";
  engine::FrameBuffer frame;
  frame.scriptText = script;
  const std::unique_ptr<engine::Fractal> scene = createScene(frame);
  ASSERT_TRUE(scene);
  scene->frameBuffer = &frame;
  CapturedOutput output;
  CancelOnOutput stop(scene->canceled);
  EXPECT_FALSE(BuildDriver().run(*scene));
  EXPECT_EQ(output.err(), "");
}

}  // namespace
}  // namespace lang::testing
