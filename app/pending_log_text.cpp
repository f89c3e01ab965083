#include "pending_log_text.h"

namespace app {

std::string PendingLogText::take(std::string_view run, bool holding) {
  text_ += run;
  if (holding || text_.empty()) return {};
  std::size_t n = text_.size();
  if (text_.back() == '\n') --n;
  std::string chunk = text_.substr(0, n);
  text_.erase(0, n);
  return chunk;
}

}  // namespace app
