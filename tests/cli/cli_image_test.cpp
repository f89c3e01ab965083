#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "test_files.h"

namespace cli::testing {
namespace {

using shell::testing::TempDir;

// A small tetrahedron in the middle of a coloured background.
const std::string kScene =
    "camera position(0, 0, -10) direction(0, 0, 1) vertical(0, 1, 0);\n"
    "light direction(1, -2, 1) color(0.8);\n"
    "light position(-4, 6, -8) color(1) attenuation(0, 0, 1);\n"
    "background(0.2, 0.4, 0.6);\n"
    "set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T\n"
    "      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;\n"
    "build T;\n";

// background(0.2, 0.4, 0.6) in 8-bit channels.
constexpr Rgb kBackground{51, 102, 153};

TEST(CliImage, BitmapHasTheRequestedSizeAndTheScenesBackground) {
  TempDir dir;
  const std::string image = (dir.path() / "scene.bmp").string();
  const CliRun run = runCli("-s 37x21 -o " + image + " " + dir.write("scene.ifs", kScene));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  const std::optional<Image> pixels = readBmp(image);
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->width, 37u);
  EXPECT_EQ(pixels->height, 21u);
  EXPECT_EQ(pixels->at(0, 0), kBackground);
  EXPECT_EQ(pixels->at(36, 20), kBackground);
  EXPECT_NE(pixels->at(18, 10), kBackground);  // the tetrahedron
}

TEST(CliImage, PngHoldsTheSamePixelsAsTheBitmap) {
  TempDir dir;
  const std::string script = dir.write("scene.ifs", kScene);
  const std::string png = (dir.path() / "scene.png").string();
  const std::string bmp = (dir.path() / "scene.BMP").string();
  ASSERT_EQ(runCli("--seed 7 -s 50x30 -o " + png + " " + script).status, 0);
  ASSERT_EQ(runCli("--seed 7 -s 50x30 -o " + bmp + " " + script).status, 0);
  const std::optional<Image> fromPng = readPng(png), fromBmp = readBmp(bmp);
  ASSERT_TRUE(fromPng);
  ASSERT_TRUE(fromBmp);
  EXPECT_EQ(fromPng->width, 50u);
  EXPECT_EQ(fromPng->height, 30u);
  EXPECT_EQ(fromPng->at(49, 0), kBackground);
  EXPECT_TRUE(fromPng->pixels == fromBmp->pixels);
}

TEST(CliImage, NoImageWithoutOptionOrAfterAFailedBuild) {
  TempDir dir;
  const std::string script = dir.write("scene.ifs", kScene);
  EXPECT_EQ(runCli("-s 20x10 " + script).status, 0);
  EXPECT_FALSE(std::filesystem::exists("scene.png"));
  const std::string image = (dir.path() / "broken.png").string();
  const CliRun broken = runCli("-s 20x10 -o " + image + " -", kScene + "build ;");
  EXPECT_EQ(broken.status, 1);
  EXPECT_FALSE(std::filesystem::exists(image));
  // Only the script: nothing named after it appeared beside it either.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(CliImage, ImageFileThatIsADirectoryExitsWithTwo) {
  TempDir dir;
  const std::string script = dir.write("scene.ifs", kScene);
  std::filesystem::create_directory(dir.path() / "taken.bmp");
  const std::string taken = (dir.path() / "taken.bmp").string();
  const CliRun directory = runCli("-s 20x10 -o " + taken + " " + script);
  EXPECT_EQ(directory.status, 2);
  EXPECT_EQ(directory.err,
            "zentarel3d-cli: cannot write image file '" + taken + "': Is a directory\n");
}

TEST(CliImage, ThreadCountDoesNotChangeTheImage) {
  TempDir dir;
  const std::string script = dir.write("scene.ifs", "antialiasing(2);\n" + kScene);
  const std::string one = (dir.path() / "one.bmp").string();
  const std::string two = (dir.path() / "two.bmp").string();
  ASSERT_EQ(runCli("--seed 3 -s 120x90 --threads 1 -o " + one + " " + script).status, 0);
  ASSERT_EQ(runCli("--seed 3 -s 120x90 --threads 2 -o " + two + " " + script).status, 0);
  const std::string first = readFile(one);
  EXPECT_EQ(first.size(), 54u + 360 * 90);
  EXPECT_TRUE(first == readFile(two));
}

}  // namespace
}  // namespace cli::testing
