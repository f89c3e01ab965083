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
  EXPECT_EQ(options->threads, 0);
  EXPECT_EQ(options->videoCodec, "rawvideo");
  EXPECT_FALSE(options->sample);
}

TEST(Options, Everything) {
  const auto options = parse({"-v", "--size", "640x480", "--seed", "1099511627777", "-o", "out.PNG",
                              "--threads", "1024", "--update-script", "--avi", "a.avi", "--codec",
                              "mjpeg", "--quality", "90", "--frames", "100%%-%04u.png", "s.ifs"});
  ASSERT_TRUE(options);
  EXPECT_TRUE(options->verbose);
  EXPECT_EQ(options->width, 640u);
  EXPECT_EQ(options->height, 480u);
  EXPECT_EQ(options->seed, 1099511627777u);
  EXPECT_EQ(options->imageFile, "out.PNG");
  EXPECT_EQ(options->threads, 1024);
  EXPECT_TRUE(options->updateScript);
  EXPECT_EQ(options->videoFile, "a.avi");
  EXPECT_EQ(options->videoCodec, "mjpeg");
  EXPECT_EQ(options->videoQuality, 90);
  EXPECT_EQ(options->framePattern, "100%%-%04u.png");
  EXPECT_EQ(options->script, "s.ifs");
  EXPECT_TRUE(parse({"-s", "1x1", "--verbose", "--tokens", "-"})->listTokens);
  EXPECT_TRUE(parse({"--dump-scene", "a"})->dumpScene);
  EXPECT_TRUE(parse({"--help"})->help);
  EXPECT_TRUE(parse({"--version"})->version);
  EXPECT_TRUE(parse({"--list-samples"})->listSamples);
  EXPECT_TRUE(parse({"--list-samples", "--samples", "x"}));
  const auto sample = parse({"--sample", "3", "--samples", "my.samples"});
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->sample, 3);
  EXPECT_EQ(sample->samplesFile, "my.samples");
  EXPECT_EQ(sample->script, "");
}

TEST(Options, UsageErrors) {
  const std::string frames =
      "--frames needs a pattern with one number field such as "
      "frame%04d.png (.bmp or .png), not '";
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{}, "no script given"},
      {{"--frobnicate", "a"}, "unknown option '--frobnicate'"},
      {{"a", "b"}, "only one script can be built, not 'a' and 'b'"},
      {{"a", "--seed"}, "option --seed needs a value"},
      {{"--seed", "-3", "a"}, "--seed needs a number from 0 up, not '-3'"},
      {{"--seed", "12x", "a"}, "--seed needs a number from 0 up, not '12x'"},
      {{"--size", "640", "a"}, "--size needs WIDTHxHEIGHT (1 to 65535 each), not '640'"},
      {{"--size", "0x480", "a"}, "--size needs WIDTHxHEIGHT (1 to 65535 each), not '0x480'"},
      {{"--size", "640x", "a"}, "--size needs WIDTHxHEIGHT (1 to 65535 each), not '640x'"},
      {{"--size", "x480", "a"}, "--size needs WIDTHxHEIGHT (1 to 65535 each), not 'x480'"},
      {{"-s", "640x480x2", "a"}, "--size needs WIDTHxHEIGHT (1 to 65535 each), not '640x480x2'"},
      {{"-s", "70000x10", "a"}, "--size needs WIDTHxHEIGHT (1 to 65535 each), not '70000x10'"},
      {{"-s", "-5x5", "a"}, "--size needs WIDTHxHEIGHT (1 to 65535 each), not '-5x5'"},
      {{"--threads", "-1", "a"}, "--threads needs a number from 0 (every core) to 1024, not '-1'"},
      {{"--threads", "1025", "a"},
       "--threads needs a number from 0 (every core) to 1024, not '1025'"},
      {{"--threads", "two", "a"},
       "--threads needs a number from 0 (every core) to 1024, not 'two'"},
      {{"--threads", "", "a"}, "--threads needs a number from 0 (every core) to 1024, not ''"},
      {{"-o", "a.jpg", "a"}, "-o needs a file name ending in .bmp or .png, not 'a.jpg'"},
      {{"-o", "a", "a"}, "-o needs a file name ending in .bmp or .png, not 'a'"},
      {{"-o", ".png", "a"}, "-o needs a file name ending in .bmp or .png, not '.png'"},
      {{"-o", "png", "a"}, "-o needs a file name ending in .bmp or .png, not 'png'"},
      {{"--frames", "frame.png", "a"}, frames + "frame.png'"},
      {{"--frames", "f%d%d.png", "a"}, frames + "f%d%d.png'"},
      {{"--frames", "f%s.png", "a"}, frames + "f%s.png'"},
      {{"--frames", "f%d.jpg", "a"}, frames + "f%d.jpg'"},
      {{"--frames", "f%ld.png", "a"}, frames + "f%ld.png'"},
      {{"--avi", "a.avi", "--quality", "50", "a"}, "codec rawvideo takes no --quality"},
      {{"--avi", "a.avi", "--codec", "mjpeg", "--quality", "0", "a"},
       "--quality needs a number from 1 to 100, not '0'"},
      {{"--avi", "a.avi", "--codec", "mjpeg", "--quality", "101", "a"},
       "--quality needs a number from 1 to 100, not '101'"},
      {{"--avi", "a.avi", "--codec", "mjpeg", "--quality", "x", "a"},
       "--quality needs a number from 1 to 100, not 'x'"},
      {{"--codec", "mjpeg", "a"}, "--codec and --quality need --avi"},
      {{"--update-script", "-"},
       "--update-script needs a script file, not standard input or a sample"},
      {{"--update-script", "--sample", "1"},
       "--update-script needs a script file, not standard input or a sample"},
      {{"--tokens", "--dump-scene", "a"}, "--tokens and --dump-scene exclude each other"},
      {{"--dump-scene", "-o", "f.png", "a"},
       "-o, --avi, --frames and --update-script need a render, not --tokens or --dump-scene"},
      {{"--dump-scene", "--avi", "f.avi", "a"},
       "-o, --avi, --frames and --update-script need a render, not --tokens or --dump-scene"},
      {{"--dump-scene", "--frames", "f%d.png", "a"},
       "-o, --avi, --frames and --update-script need a render, not --tokens or --dump-scene"},
      {{"--tokens", "--update-script", "a"},
       "-o, --avi, --frames and --update-script need a render, not --tokens or --dump-scene"},
      {{"--sample", "2", "s.ifs"}, "--sample builds a sample, not the script 's.ifs'"},
      {{"--sample", "-1"}, "--sample needs a sample number from 0 up, not '-1'"},
      {{"--sample", "x"}, "--sample needs a sample number from 0 up, not 'x'"},
      {{"--sample", "1.5"}, "--sample needs a sample number from 0 up, not '1.5'"},
      {{"--sample", ""}, "--sample needs a sample number from 0 up, not ''"},
      {{"--samples", "my.samples", "s.ifs"}, "--samples needs --sample or --list-samples"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parse(c.args, &error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
  // The codecs after the first depend on the FFmpeg build.
  std::string error;
  EXPECT_FALSE(parse({"--avi", "a.avi", "--codec", "nonesuch", "a"}, &error));
  EXPECT_TRUE(error.starts_with("unknown codec 'nonesuch'; available: rawvideo, ")) << error;
}

}  // namespace
}  // namespace cli
