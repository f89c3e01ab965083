#pragma once

#include <cstdint>
#include <string>

namespace shell {

// Formats a duration given in 100-nanosecond units as its two largest units
// that matter, for example "5 sec 250 ms", "1 h 2 min", "40 ms", "2 days 3 h".
std::string formatDuration(uint64_t ticks);

}  // namespace shell
