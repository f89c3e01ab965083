// The samples file of the source tree: its tags, and a build of every scene
// in it at a small size through the language and the renderer.
#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/frame_buffer.h"
#include "lang/build_driver.h"
#include "sample_build.h"
#include "shell/sample_tags.h"
#include "shell/samples_file.h"

namespace gallery {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;

shell::SamplesFile& samplesFile() {
  static shell::SamplesFile file(SAMPLES_FILE);
  return file;
}

int sampleCount() {
  return samplesFile().index().sampleCount();
}

std::string sampleText(int ordinal) {
  const int entry = samplesFile().index().entryOfSample(ordinal);
  return samplesFile().sampleText(entry).value_or("");
}

bool savesFrames(const std::string& script) {
  engine::FrameBuffer frame;
  frame.scriptText = script;
  std::ostringstream ignored;
  std::streambuf* old = std::cerr.rdbuf(ignored.rdbuf());
  lang::BuildDriver::detectFractalType(frame);
  std::cerr.rdbuf(old);
  return frame.savesFrames;
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  return found;
}

TEST(ShippedSamples, HoldsAtLeastThirtySamples) {
  EXPECT_GE(sampleCount(), 30);
}

TEST(ShippedSamples, HoldsAtLeastTwoAnimations) {
  int animations = 0;
  for (int i = 0; i < sampleCount(); ++i) animations += savesFrames(sampleText(i));
  EXPECT_GE(animations, 2);
}

// Every closing tag closes something that is open, and nothing stays open:
// the index would only warn about a stray "[/submenu]" and silently nest
// everything after a missing one.
TEST(ShippedSamples, TagsAreMatched) {
  std::ifstream in(SAMPLES_FILE);
  ASSERT_TRUE(in) << SAMPLES_FILE;
  int submenus = 0;
  bool sampleOpen = false;
  int lineNumber = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    ASSERT_LT(line.size(), 300u) << "line " << lineNumber << " would stop the reading of the file";
    const std::optional<shell::SampleTag> tag = shell::parseSampleTag(line);
    if (!tag || tag->kind == shell::SampleKind::Rem) continue;
    if (tag->kind == shell::SampleKind::Submenu && tag->closing) {
      EXPECT_TRUE(submenus > 0) << "unmatched [/submenu] on line " << lineNumber;
      --submenus;
      sampleOpen = false;
    } else if (tag->kind == shell::SampleKind::Sample && tag->closing) {
      EXPECT_TRUE(sampleOpen) << "unmatched [/sample] on line " << lineNumber;
      sampleOpen = false;
    } else {
      sampleOpen = tag->kind == shell::SampleKind::Sample;
      if (tag->kind == shell::SampleKind::Submenu) ++submenus;
    }
  }
  EXPECT_EQ(submenus, 0) << "a submenu is never closed";

  std::ostringstream warnings;
  std::streambuf* old = std::cerr.rdbuf(warnings.rdbuf());
  std::ifstream again(SAMPLES_FILE);
  shell::SamplesIndex::read(again);
  std::cerr.rdbuf(old);
  EXPECT_EQ(warnings.str(), "");
}

class Sample : public ::testing::TestWithParam<int> {};

// Builds the sample as the application would and fails on any error line, a
// render error, a missing image or a picture that shows nothing.
TEST_P(Sample, BuildsWithoutError) {
  const std::string script = sampleText(GetParam());
  ASSERT_FALSE(script.empty()) << "the sample's text cannot be loaded";
  EXPECT_EQ(script.rfind("//", 0), 0u) << "a sample starts with a comment saying what it shows";

  const SampleBuild build = buildSample(script, kWidth, kHeight);
  EXPECT_TRUE(build.built) << build.output;
  EXPECT_EQ(build.renderError, "");
  for (const std::string& line : linesStartingWith(build.output, "error:")) ADD_FAILURE() << line;
  for (const std::string& line : linesStartingWith(build.output, "exception:"))
    ADD_FAILURE() << line;
  if (build.savesFrames)
    EXPECT_GE(build.frames, 2) << "an animation saves several frames";
  else
    EXPECT_TRUE(build.hasImage);
  EXPECT_EQ(build.blankFrames, 0) << "a picture of a single colour";
}

std::string testName(const ::testing::TestParamInfo<int>& info) {
  std::string name = (info.param < 10 ? "0" : "") + std::to_string(info.param) + "_";
  const int entry = samplesFile().index().entryOfSample(info.param);
  for (char c : samplesFile().index().nameOfEntry(entry))
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Gallery, Sample, ::testing::Range(0, sampleCount()), testName);

}  // namespace
}  // namespace gallery
