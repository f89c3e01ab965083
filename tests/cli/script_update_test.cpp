#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/camera_text.h"
#include "engine/frame_buffer.h"
#include "script_update.h"
#include "shell/script_file.h"

namespace cli {
namespace {

// The text a build starts from: the file as a document reads it.
std::string documentText(const std::string& fileBytes) {
  std::istringstream in(fileBytes);
  return shell::readScriptText(in);
}

// What the build's camera edit makes of the text.
std::string edited(const std::string& text, const std::string& position,
                   const std::string* direction) {
  engine::FrameBuffer frame;
  frame.scriptText = text;
  std::string oldPosition, oldDirection;
  EXPECT_TRUE(
      engine::replaceCameraArguments(frame, position, direction, oldPosition, oldDirection));
  return frame.scriptText;
}

std::string carried(const std::string& file, const std::string& position,
                    const std::string* direction) {
  const std::string before = documentText(file);
  return carryCameraEdit(file, before, edited(before, position, direction));
}

TEST(ScriptUpdate, CameraEditKeepsTheFilesLineBreaks) {
  const std::string direction = "0,0,1";
  EXPECT_EQ(carried("// camera here\nx = 1;\ncamera position(0, 1,\n -6) vertical(0,1,0);\n",
                    "1,2,3", &direction),
            "// camera here\nx = 1;\ncamera position(1,2,3) direction(0,0,1) vertical(0,1,0);\n");
  EXPECT_EQ(
      carried("a = 2;\r\ncamera position(0,0,-5)\r\n  direction(1,\r\n 0, 0) vertical(0,1,0);",
              "1,2,3", &direction),
      "a = 2;\r\ncamera position(1,2,3)\r\n  direction(0,0,1) vertical(0,1,0);");
}

TEST(ScriptUpdate, UnchangedPartsStayAsTheFileWritesThem) {
  // A zoom moves only the position; the direction keeps its own line break.
  const std::string file = "camera position(0,0,-5) direction(0,\n0,1)\nvertical(0,1,0);\n";
  EXPECT_EQ(carried(file, "0,0,-2", nullptr),
            "camera position(0,0,-2) direction(0,\n0,1)\nvertical(0,1,0);\n");
  // Only the direction differs: the position's line break stays.
  const std::string direction = "1,0,0";
  EXPECT_EQ(carried("camera position(0,\n0,-5) vertical(0,1,0);\n", "0,\r\n0,-5", &direction),
            "camera position(0,\n0,-5) direction(1,0,0) vertical(0,1,0);\n");
  // Nothing changed: not a byte differs.
  const std::string same = "camera position(1,2,3)\ndirection(0,0,1) vertical(0,1,0);\n";
  EXPECT_EQ(carryCameraEdit(same, documentText(same), documentText(same)), same);
}

}  // namespace
}  // namespace cli
