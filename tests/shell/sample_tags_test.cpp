#include "shell/sample_tags.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

void expectTag(const std::string& line, SampleKind kind, bool closing, const std::string& name) {
  const std::optional<SampleTag> tag = parseSampleTag(line);
  ASSERT_TRUE(tag.has_value()) << line;
  EXPECT_EQ(tag->kind, kind) << line;
  EXPECT_EQ(tag->closing, closing) << line;
  EXPECT_EQ(tag->name, name) << line;
}

TEST(SampleTags, BracketFormOpeningTags) {
  expectTag("[sample=\"Menger sponge\"]", SampleKind::Sample, false, "Menger sponge");
  expectTag(" \t[submenu=\"Classic\"] trailing text", SampleKind::Submenu, false, "Classic");
  expectTag("[include=\"common\"]", SampleKind::Include, false, "common");
  expectTag("[separator]", SampleKind::Separator, false, "");
  expectTag("[rem] a comment", SampleKind::Rem, false, "");
  expectTag("[sample=\"\"]", SampleKind::Sample, false, "");
}

TEST(SampleTags, NameEndsAtTheFirstQuoteBeforeABracket) {
  expectTag("[sample=\"say \"hi\" there\"]", SampleKind::Sample, false, "say \"hi\" there");
  expectTag("[sample=\"a]b\"] [x\"]", SampleKind::Sample, false, "a]b");
}

TEST(SampleTags, KeywordsMustBeFollowedByTheirPunctuation) {
  EXPECT_FALSE(parseSampleTag("[separator-line]"));
  EXPECT_FALSE(parseSampleTag("[samples=\"x\"]"));  // the "=" must follow "sample"
  EXPECT_FALSE(parseSampleTag("[Sample=\"x\"]"));
  EXPECT_FALSE(parseSampleTag("[remark]"));
}

TEST(SampleTags, ClosingTagsOnlyForSampleAndSubmenu) {
  expectTag("[/sample]", SampleKind::Sample, true, "");
  expectTag("  [/submenu]", SampleKind::Submenu, true, "");
  EXPECT_FALSE(parseSampleTag("[/include]"));
  EXPECT_FALSE(parseSampleTag("[/separator]"));
  EXPECT_FALSE(parseSampleTag("[/rem]"));
  EXPECT_FALSE(parseSampleTag("[/sample=\"x\"]"));
}

TEST(SampleTags, MalformedBracketLinesAreScriptText) {
  EXPECT_FALSE(parseSampleTag("[sample]"));
  EXPECT_FALSE(parseSampleTag("[sample=x]"));
  EXPECT_FALSE(parseSampleTag("[sample=\"unterminated]"));
  EXPECT_FALSE(parseSampleTag("[sample=\"no bracket\""));
  EXPECT_FALSE(parseSampleTag("[separator"));
  EXPECT_FALSE(parseSampleTag("[ sample=\"x\"]"));
  EXPECT_FALSE(parseSampleTag("x = [1, 2];"));
  EXPECT_FALSE(parseSampleTag(""));
  EXPECT_FALSE(parseSampleTag(" \t "));
}

TEST(SampleTags, ShortForm) {
  expectTag("sample[Tetrahedron]", SampleKind::Sample, false, "Tetrahedron");
  expectTag("\tsample[-common] rest", SampleKind::Include, false, "-common");
  expectTag("sample[]", SampleKind::Sample, false, "");
  EXPECT_FALSE(parseSampleTag("sample[open"));
  EXPECT_FALSE(parseSampleTag("samples[x]"));
  EXPECT_FALSE(parseSampleTag("Sample[x]"));
}

}  // namespace
}  // namespace shell
