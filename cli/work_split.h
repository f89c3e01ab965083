#pragma once

// The share of a render that one process does when a job is split: a range
// of the frames of "save_frame" or a horizontal band of the image.

#include <optional>
#include <string>

namespace cli {

// Frames FIRST to LAST, counted from 0; LAST absent: to the end.
struct FrameRange {
  int first = 0;
  std::optional<int> last;
};

// "FIRST-LAST" or "FIRST-"; nothing when the text is neither or LAST < FIRST.
std::optional<FrameRange> parseFrameRange(const std::string& text);

// Band `index` of `count`, counted from the top of the image.
struct ImagePart {
  int index = 0, count = 1;
};

// "I/N" with 0 <= I < N; nothing otherwise.
std::optional<ImagePart> parseImagePart(const std::string& text);

}  // namespace cli
