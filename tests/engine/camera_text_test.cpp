#include "engine/camera_text.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "captured_output.h"
#include "engine/frame_buffer.h"

namespace engine {
namespace {

// The camera statement rewritten with a new position, and a new direction
// when the automatic camera moved it, as the log tells.
TEST(CameraText, RewritesTheCameraStatementAndLogsTheOldValues) {
  const struct {
    const char* script;
    Vec3 position;
    std::optional<Vec3> direction;
    const char* text;
    const char* log;
  } cases[] = {
      {"camera position(0,0,-5) direction(0,0,1) vertical(0,1,0);\n",
       {1.0 / 3, 2, -7.1},
       Vec3{0.70710678, 0, -0.70710678},
       "camera position(0.33333333333333331,2,-7.0999999999999996) direction(0.7071,0,-0.7071) "
       "vertical(0,1,0);\n",
       "camera changed:\nold position(0,0,-5)\nold direction(0,0,1)\n"},
      // Missing parts are inserted in order.
      {"camera vertical(0,1,0) fov(30);",
       {4, 5, 6},
       Vec3{0, 0, 1},
       "camera position(4,5,6) direction(0,0,1) vertical(0,1,0) fov(30);",
       "camera changed:\n"},
      {"// camera position(7,7,7)\n# camera position(8,8,8)\r/* camera position(9,9,9) */\n"
       "camera position(fov, sin(direction) * 2, camera) vertical(0,1,0)",
       {2, 2, 2},
       {},
       "// camera position(7,7,7)\n# camera position(8,8,8)\r/* camera position(9,9,9) */\n"
       "camera position(2,2,2) vertical(0,1,0)",
       "camera position changed:\nold position(fov, sin(direction) * 2, camera)\n"},
      // String literals are skipped: the word "camera" in one is no statement.
      {"echo \"camera position(5,5,5)\"",
       {1, 2, 3},
       {},
       "echo \"camera position(5,5,5)\"",
       "camera position changed:\n"},
      // An unterminated comment ends the scan.
      {"camera position(1,2,3) /* camera position(4,4,4)",
       {0, 0, 0},
       {},
       "camera position(0,0,0) /* camera position(4,4,4)",
       "camera position changed:\nold position(1,2,3)\n"},
      // A script that saves frames is an animation: its camera is left alone.
      {"camera position(0,0,-5) vertical(0,1,0) save_frame()",
       {1, 1, 1},
       Vec3{0, 0, 1},
       "camera position(0,0,-5) vertical(0,1,0) save_frame()",
       ""},
  };
  for (const auto& c : cases) {
    FrameBuffer frame;
    frame.scriptText = c.script;
    frame.savesFrames = frame.scriptText.find("save_frame") != std::string::npos;
    int notifications = 0;
    frame.textChanged = [&] { ++notifications; };
    testing::CapturedOutput out;
    const bool changed = c.direction ? cameraChanged(frame, c.position, *c.direction)
                                     : cameraPositionChanged(frame, c.position);
    EXPECT_EQ(frame.scriptText, c.text) << c.script;
    EXPECT_EQ(out.out(), c.log) << c.script;
    EXPECT_EQ(changed, frame.scriptText != c.script) << c.script;
    EXPECT_EQ(notifications, changed ? 1 : 0) << c.script;
  }
}

}  // namespace
}  // namespace engine
