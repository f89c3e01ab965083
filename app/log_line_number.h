#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace app {

// The characters of a log line looked at for a line number.
inline constexpr std::size_t kLogLineLookedAt = 29;
inline constexpr std::string_view kErrorLinePrefix = "error: line ";

// The script line that a log line points at: N for lines that begin with
// "error: line N" or "warning: line N"; nothing for any other line. Only the
// first 29 characters of the line are looked at.
std::optional<int> logLineNumber(std::string_view line);
// As logLineNumber, for "error: line N" alone.
std::optional<int> logErrorLineNumber(std::string_view line);

}  // namespace app
