// A PNG image that the runner wrote builds its scene again.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "engine/frame_buffer.h"
#include "engine/png_writer.h"

namespace cli::testing {
namespace {

// Draws on the random state ("rnd") and prints it, so that a run shows the
// state it started from.
const std::string kScene =
    "x = rnd(1);\n"
    "echo x;\n"
    "camera position(0, 0, -10) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "light direction(1, -2, 1) color(0.8);\n"
    "background(0.2 * x, 0.4, 0.6);\n"
    "set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
    "      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
    "build T;\n";

// "WxH" from the header of a PNG file.
std::string pngSize(const std::string& bytes) {
  if (bytes.size() < 24) return "";
  auto number = [&bytes](size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return std::to_string(value);
  };
  return number(16) + "x" + number(20);
}

TEST(CliPngScene, APictureBuildsTheSceneItWasMadeFrom) {
  TempDir dir;
  const std::string script = dir.write("scene.ifs", kScene), picture = dir.file("scene.png");
  const CliRun made = runCli("--seed 5 -s 48x36 -o " + picture + " " + script);
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(runCli("--dump-scene " + picture).out, runCli("--seed 5 --dump-scene " + script).out);
  // The recorded state and size unless --seed and -s say otherwise.
  const struct {
    std::string options, sameAs, size;
  } cases[] = {
      {"", "--seed 5", "48x36"},
      {"--seed 9", "--seed 9", "48x36"},
      {"-s 20x10", "--seed 5", "20x10"},
  };
  for (const auto& c : cases) {
    const std::string again = dir.file("again.png");
    const CliRun run = runCli(c.options + " -o " + again + " " + picture);
    ASSERT_EQ(run.status, 0) << c.options << run.err;
    EXPECT_EQ(run.out, runCli(c.sameAs + " " + script).out) << c.options;
    EXPECT_EQ(pngSize(readFile(again)), c.size) << c.options;
    // Built again as it was, the picture comes out byte for byte.
    if (c.options.empty()) {
      EXPECT_EQ(readFile(again), readFile(picture));
    }
  }
  // From standard input too.
  EXPECT_EQ(runCli("-", readFile(picture)).out, made.out);
  // A script in Latin-1 is carried as UTF-8.
  const std::string latin = dir.write("latin.ifs", "echo \"caf\xe9\";\n" + kScene);
  ASSERT_EQ(runCli("-s 8x6 -o " + picture + " " + latin).status, 0);
  EXPECT_TRUE(runCli(picture).out.starts_with("caf\xc3\xa9\n"));
}

TEST(CliPngScene, APictureWithoutAScriptIsAClearError) {
  TempDir dir;
  const std::string script = dir.write("scene.ifs", kScene), plain = dir.file("plain.png");
  engine::FrameBuffer frame;
  frame.resizeImage(4, 2, 24);
  std::FILE* file = std::fopen(plain.c_str(), "wb");
  ASSERT_TRUE(file && engine::writePng(frame, file));
  std::fclose(file);
  const std::string picture = dir.file("scene.png");
  ASSERT_EQ(runCli("-s 48x36 -o " + picture + " " + script).status, 0);
  const std::string cut = dir.write("cut.png", readFile(picture).substr(0, 100));
  const struct {
    std::string args, message;
  } cases[] = {
      {plain, "cannot read '" + plain + "': the PNG file holds no scene script"},
      {cut, "cannot read '" + cut + "': not a PNG file"},
      {"--update-script " + picture,
       "--update-script cannot rewrite the script that '" + picture + "' carries"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_EQ(run.err, "zentarel3d-cli: " + c.message + "\n");
  }
}

}  // namespace
}  // namespace cli::testing
