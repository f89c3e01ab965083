#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shell {

// A file name pattern for numbered frame images such as "frame%04d.png": a
// printf format with exactly one integer conversion, checked before use so
// that no user text reaches printf unchecked.
class FramePattern {
 public:
  // Nothing unless the pattern holds exactly one conversion "d", "i" or "u",
  // with optional flags from "-+ 0", a width and a precision of at most two
  // digits each and no length modifier; "%%" stands for "%" anywhere.
  static std::optional<FramePattern> parse(std::string_view pattern);

  std::string fileName(unsigned frame) const;

 private:
  std::string prefix_, suffix_;  // "%%" already turned into "%"
  std::string conversion_;       // for snprintf, with a "ll" length added
  bool isSigned_ = true;
};

}  // namespace shell
