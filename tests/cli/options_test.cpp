#include "options.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

std::optional<Options> parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string message;
  auto options = parseOptions(args, message);
  if (error) *error = message;
  return options;
}

TEST(Options, Defaults) {
  const auto options = parse({"scene.ifs"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->script, "scene.ifs");
  EXPECT_EQ(options->width, 320u);
  EXPECT_EQ(options->height, 240u);
  EXPECT_FALSE(options->seed);
  EXPECT_FALSE(options->verbose);
  EXPECT_FALSE(options->listTokens);
  EXPECT_FALSE(options->dumpScene);
}

TEST(Options, Everything) {
  const auto options = parse({"-v", "--size", "640x480", "--seed", "1099511627777", "-"});
  ASSERT_TRUE(options);
  EXPECT_TRUE(options->verbose);
  EXPECT_EQ(options->width, 640u);
  EXPECT_EQ(options->height, 480u);
  EXPECT_EQ(options->seed, 1099511627777u);
  EXPECT_EQ(options->script, "-");
  EXPECT_TRUE(parse({"-s", "1x1", "--verbose", "--tokens", "a"})->listTokens);
  EXPECT_TRUE(parse({"--dump-scene", "a"})->dumpScene);
  EXPECT_TRUE(parse({"--help"})->help);
  EXPECT_TRUE(parse({"--version"})->version);
}

TEST(Options, UsageErrors) {
  std::string error;
  EXPECT_FALSE(parse({}, &error));
  EXPECT_EQ(error, "no script given");
  EXPECT_FALSE(parse({"--frobnicate", "a"}, &error));
  EXPECT_EQ(error, "unknown option '--frobnicate'");
  EXPECT_FALSE(parse({"a", "b"}, &error));
  EXPECT_FALSE(parse({"a", "--seed"}, &error));
  EXPECT_EQ(error, "option --seed needs a value");
  EXPECT_FALSE(parse({"--seed", "-3", "a"}, &error));
  EXPECT_FALSE(parse({"--seed", "12x", "a"}, &error));
  for (const char* size : {"640", "0x480", "640x", "x480", "640x480x2", "70000x10", "-5x5"})
    EXPECT_FALSE(parse({"--size", size, "a"})) << size;
  EXPECT_FALSE(parse({"--tokens", "--dump-scene", "a"}, &error));
}

}  // namespace
}  // namespace cli
