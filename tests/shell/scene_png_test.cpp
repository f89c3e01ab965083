#include "shell/scene_png.h"

#include <string>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "shell/image_file.h"
#include "shell/script_file.h"
#include "test_files.h"

namespace shell {
namespace {

using testing::readFile;
using testing::TempDir;

// The bytes of the frame written as a PNG file.
std::string pngOf(const engine::FrameBuffer& frame, const TempDir& dir) {
  const std::string path = dir.file("scene.png");
  EXPECT_EQ(writeImageFile(frame, path, ImageFileFormat::Png), "");
  return readFile(path);
}

TEST(ScenePng, CarriesTheScriptAsUtf8WithTheStateAndTheSize) {
  struct Case {
    const char* what;
    std::string script, expected;
  } cases[] = {
      {"lines", "a = 1;\r\nbuild T;\r\n", "a = 1;\r\nbuild T;\r\n"},
      {"Latin-1 becomes UTF-8", "echo \"\xe9\xff\";\r\n", "echo \"\xc3\xa9\xc3\xbf\";\r\n"},
      {"UTF-8 stays", "echo \"\xc3\xa9\xe2\x82\xac\";\r\n", "echo \"\xc3\xa9\xe2\x82\xac\";\r\n"},
      {"a cut sequence is Latin-1", "\xe2\x82", "\xc3\xa2\xc2\x82\r\n"},
      {"empty", "", ""},
  };
  TempDir dir;
  for (const Case& c : cases) {
    engine::FrameBuffer frame;
    frame.resizeImage(5, 3, 24);
    frame.scriptText = c.script;
    frame.savedRandomState = engine::RandomState::fromValue(0xABCDE12345);
    std::string error;
    const std::optional<SceneScript> scene = sceneScriptOf(pngOf(frame, dir), error);
    ASSERT_TRUE(scene) << c.what << ": " << error;
    EXPECT_EQ(scene->text, c.expected) << c.what;
    EXPECT_EQ(scene->randomState, frame.savedRandomState) << c.what;
    EXPECT_EQ(scene->size, (ImageSize{5, 3})) << c.what;
  }
}

}  // namespace
}  // namespace shell
