#pragma once

#include <string>
#include <string_view>

namespace app {

// Text received by the log but not yet shown. A final line feed is held back
// until more text follows, so the log never ends with an empty line.
class PendingLogText {
 public:
  // Appends a run of characters and returns what may be shown now; nothing
  // while `holding` (the interface thread waits for a build and must not be
  // disturbed), the text then waits for a later call.
  std::string take(std::string_view run, bool holding);
  void clear() { text_.clear(); }

 private:
  std::string text_;
};

}  // namespace app
