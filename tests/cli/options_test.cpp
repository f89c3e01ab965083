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
  EXPECT_EQ(options->threads, 0);
  EXPECT_EQ(options->imageFile, "");
  EXPECT_FALSE(options->updateScript);
  EXPECT_EQ(options->videoFile, "");
  EXPECT_EQ(options->videoCodec, "rawvideo");
  EXPECT_EQ(options->framePattern, "");
  EXPECT_FALSE(options->sample);
  EXPECT_FALSE(options->listSamples);
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

TEST(Options, Outputs) {
  const auto options =
      parse({"-o", "out.PNG", "--threads", "2", "--update-script", "--avi", "a.avi", "--codec",
             "mjpeg", "--quality", "90", "--frames", "f%03d.bmp", "s.ifs"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->imageFile, "out.PNG");
  EXPECT_EQ(options->threads, 2);
  EXPECT_TRUE(options->updateScript);
  EXPECT_EQ(options->videoFile, "a.avi");
  EXPECT_EQ(options->videoCodec, "mjpeg");
  EXPECT_EQ(options->videoQuality, 90);
  EXPECT_EQ(options->framePattern, "f%03d.bmp");
}

TEST(Options, Samples) {
  const auto sample = parse({"--sample", "3", "--samples", "my.samples"});
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->sample, 3);
  EXPECT_EQ(sample->samplesFile, "my.samples");
  EXPECT_EQ(sample->script, "");
  EXPECT_TRUE(parse({"--list-samples"})->listSamples);
  EXPECT_TRUE(parse({"--list-samples", "--samples", "x"}));
}

TEST(Options, OutputUsageErrors) {
  std::string error;
  for (const char* name : {"a.jpg", "a", ".png", "png"})
    EXPECT_FALSE(parse({"-o", name, "s.ifs"})) << name;
  for (const char* threads : {"-1", "1025", "two", ""})
    EXPECT_FALSE(parse({"--threads", threads, "s.ifs"})) << threads;
  EXPECT_TRUE(parse({"--threads", "1024", "s.ifs"}));
  for (const char* pattern : {"frame.png", "f%d%d.png", "f%s.png", "f%d.jpg", "f%ld.png"})
    EXPECT_FALSE(parse({"--frames", pattern, "s.ifs"})) << pattern;
  EXPECT_TRUE(parse({"--frames", "100%%-%04u.png", "s.ifs"}));

  EXPECT_FALSE(parse({"--avi", "a.avi", "--codec", "nonesuch", "s.ifs"}, &error));
  EXPECT_EQ(error.rfind("unknown codec 'nonesuch'; available: rawvideo, ", 0), 0u) << error;
  EXPECT_FALSE(parse({"--avi", "a.avi", "--quality", "50", "s.ifs"}, &error));
  EXPECT_EQ(error, "codec rawvideo takes no --quality");
  for (const char* quality : {"0", "101", "x"})
    EXPECT_FALSE(parse({"--avi", "a.avi", "--codec", "mjpeg", "--quality", quality, "s.ifs"}));
  EXPECT_FALSE(parse({"--codec", "mjpeg", "s.ifs"}, &error));
  EXPECT_EQ(error, "--codec and --quality need --avi");

  EXPECT_FALSE(parse({"--update-script", "-"}));
  EXPECT_FALSE(parse({"--update-script", "--sample", "1"}));
  for (const char* output : {"-o", "--avi", "--frames"})
    EXPECT_FALSE(parse({"--dump-scene", output, "f%d.png", "s.ifs"})) << output;
  EXPECT_FALSE(parse({"--tokens", "--update-script", "s.ifs"}));
}

TEST(Options, SampleUsageErrors) {
  std::string error;
  EXPECT_FALSE(parse({"--sample", "2", "s.ifs"}, &error));
  EXPECT_EQ(error, "--sample builds a sample, not the script 's.ifs'");
  for (const char* number : {"-1", "x", "1.5", ""})
    EXPECT_FALSE(parse({"--sample", number})) << number;
  EXPECT_FALSE(parse({"--samples", "my.samples", "s.ifs"}, &error));
  EXPECT_EQ(error, "--samples needs --sample or --list-samples");
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
