#include "engine/camera_text.h"

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "engine/frame_buffer.h"

namespace engine {
namespace {

using testing::CaptureStdout;

struct Edit {
  std::string text;
  std::string log;
  bool result;
  int notifications;
};

Edit changeCamera(const std::string& script, const Vec3& position, const Vec3& direction,
                  bool savesFrames = false) {
  FrameBuffer frame;
  frame.scriptText = script;
  frame.savesFrames = savesFrames;
  int notifications = 0;
  frame.textChanged = [&] { ++notifications; };
  CaptureStdout out;
  const bool result = cameraChanged(frame, position, direction);
  return {frame.scriptText, out.text(), result, notifications};
}

Edit moveCamera(const std::string& script, const Vec3& position) {
  FrameBuffer frame;
  frame.scriptText = script;
  int notifications = 0;
  frame.textChanged = [&] { ++notifications; };
  CaptureStdout out;
  const bool result = cameraPositionChanged(frame, position);
  return {frame.scriptText, out.text(), result, notifications};
}

TEST(CameraText, AutomaticCameraRewritesBothPartsAndLogsTheOldValues) {
  const Edit e = changeCamera("camera position(0,0,-5) direction(0,0,1) vertical(0,1,0);\n",
                              {1.0 / 3, 2, -7.1}, {0.70710678, 0, -0.70710678});
  EXPECT_TRUE(e.result);
  EXPECT_EQ(e.text,
            "camera position(0.33333333333333331,2,-7.0999999999999996) "
            "direction(0.7071,0,-0.7071) vertical(0,1,0);\n");
  EXPECT_EQ(e.log, "camera changed:\nold position(0,0,-5)\nold direction(0,0,1)\n");
  EXPECT_EQ(e.notifications, 1);
}

TEST(CameraText, MissingPartsAreInsertedInOrder) {
  Edit e = changeCamera("camera position(1, 2, 3) vertical(0,1,0);", {4, 5, 6}, {0, 0, 1});
  EXPECT_EQ(e.text, "camera position(4,5,6) direction(0,0,1) vertical(0,1,0);");
  EXPECT_EQ(e.log, "camera changed:\nold position(1, 2, 3)\n");

  e = changeCamera("camera vertical(0,1,0) fov(30);", {4, 5, 6}, {0, 0, 1});
  EXPECT_EQ(e.text, "camera position(4,5,6) direction(0,0,1) vertical(0,1,0) fov(30);");
  EXPECT_EQ(e.log, "camera changed:\n");

  // A direction written before the position keeps its place.
  e = changeCamera("camera direction(1,0,0) position(9,9,9) vertical(0,1,0)", {1, 2, 3}, {0, 1, 0});
  EXPECT_EQ(e.text, "camera direction(0,1,0) position(1,2,3) vertical(0,1,0)");
}

TEST(CameraText, CommentsOfEveryKindAreIgnored) {
  const Edit e = moveCamera(
      "// camera position(7,7,7)\n# camera position(8,8,8)\r/* camera position(9,9,9) */\n"
      "camera position(1,1,1) vertical(0,1,0)",
      {2, 2, 2});
  EXPECT_EQ(e.text,
            "// camera position(7,7,7)\n# camera position(8,8,8)\r/* camera position(9,9,9) */\n"
            "camera position(2,2,2) vertical(0,1,0)");
  EXPECT_EQ(e.log, "camera position changed:\nold position(1,1,1)\n");
}

TEST(CameraText, WordsInsideParenthesesAndStringsAreNotComments) {
  // The camera's own item names used as variables inside the arguments.
  Edit e =
      moveCamera("camera position(fov, sin(direction) * 2, camera) vertical(0,1,0)", {1, 2, 3});
  EXPECT_EQ(e.text, "camera position(1,2,3) vertical(0,1,0)");

  // String literals are skipped: the word "camera" in one is no statement.
  e = moveCamera("echo \"camera position(5,5,5)\"", {1, 2, 3});
  EXPECT_FALSE(e.result);
}

TEST(CameraText, AnUnknownWordAfterTheCameraEndsTheScan) {
  const Edit e =
      changeCamera("camera vertical(0,1,0) light position(1,1,1) color(1)", {0, 0, -3}, {0, 0, 1});
  EXPECT_EQ(e.text,
            "camera position(0,0,-3) direction(0,0,1) vertical(0,1,0) light position(1,1,1) "
            "color(1)");
}

TEST(CameraText, TwoCameraStatements) {
  // The later statement has no position: the earlier position is edited and
  // the direction follows it.
  Edit e = changeCamera("camera position(1,2,3) vertical(0,1,0); camera vertical(0,0,1)", {4, 5, 6},
                        {1, 0, 0});
  EXPECT_EQ(e.text,
            "camera position(4,5,6) direction(1,0,0) vertical(0,1,0); camera vertical(0,0,1)");

  // The later statement's own position wins.
  e = moveCamera("camera position(1,2,3) vertical(0,1,0); camera position(7,8,9)", {4, 5, 6});
  EXPECT_EQ(e.text, "camera position(1,2,3) vertical(0,1,0); camera position(4,5,6)");

  // Without any position, the part is inserted after the later camera word.
  e = moveCamera("camera vertical(0,1,0); camera fov(20)", {4, 5, 6});
  EXPECT_EQ(e.text, "camera vertical(0,1,0); camera position(4,5,6) fov(20)");
}

TEST(CameraText, UnmatchedParenthesis) {
  // Before the camera word: no camera statement is found.
  Edit e = changeCamera("x = 1); camera position(1,2,3)", {4, 5, 6}, {0, 0, 1});
  EXPECT_FALSE(e.result);
  EXPECT_EQ(e.text, "x = 1); camera position(1,2,3)");
  EXPECT_EQ(e.log, "camera changed:\n");
  EXPECT_EQ(e.notifications, 0);

  // After it: the position range is dropped, so a new part is inserted.
  e = moveCamera("camera position(1,2,3)) vertical(0,1,0)", {4, 5, 6});
  EXPECT_TRUE(e.result);
  EXPECT_EQ(e.text, "camera position(4,5,6) position(1,2,3)) vertical(0,1,0)");
  EXPECT_EQ(e.log, "camera position changed:\n");
}

TEST(CameraText, UnterminatedCommentsEndTheScan) {
  Edit e = moveCamera("camera position(1,2,3) /* camera position(4,4,4)", {0, 0, 0});
  EXPECT_EQ(e.text, "camera position(0,0,0) /* camera position(4,4,4)");
  e = moveCamera("/* camera position(1,2,3)", {0, 0, 0});
  EXPECT_FALSE(e.result);
}

TEST(CameraText, AnimationScriptsAreLeftAlone) {
  const std::string script = "camera position(0,0,-5) vertical(0,1,0) save_frame()";
  const Edit e = changeCamera(script, {1, 1, 1}, {0, 0, 1}, true);
  EXPECT_FALSE(e.result);
  EXPECT_EQ(e.text, script);
  EXPECT_EQ(e.log, "");
  EXPECT_EQ(e.notifications, 0);
}

TEST(CameraText, LocatesTheArgumentRanges) {
  const std::string text = "a(b) camera fov(1) position ( 1,(2),3 ) direction(0,0,1)";
  const CameraStatementLocation at = locateCameraStatement(text);
  ASSERT_TRUE(at.cameraEnd && at.hasPosition() && at.hasDirection());
  EXPECT_EQ(text.substr(0, *at.cameraEnd + 1), "a(b) camera");
  EXPECT_EQ(text.substr(*at.positionBegin, *at.positionEnd - *at.positionBegin), " 1,(2),3 ");
  EXPECT_EQ(text.substr(*at.directionBegin, *at.directionEnd - *at.directionBegin), "0,0,1");
  EXPECT_FALSE(locateCameraStatement("light position(1,2,3)").cameraEnd);
}

}  // namespace
}  // namespace engine
