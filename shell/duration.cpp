#include "duration.h"

namespace shell {

std::string formatDuration(uint64_t ticks) {
  struct Unit {
    uint64_t value;
    const char* name;
  };
  const Unit units[] = {
      {ticks / 864000000000ull, "day"},   {ticks / 36000000000ull % 24, "h"},
      {ticks / 600000000ull % 60, "min"}, {ticks / 10000000ull % 60, "sec"},
      {ticks / 10000ull % 1000, "ms"},
  };
  constexpr int kMs = 4;
  int first = 0;
  while (first < kMs && units[first].value == 0) ++first;
  const int last = first == kMs ? kMs : first + 1;

  std::string text;
  for (int i = first; i <= last; ++i) {
    if (!text.empty()) text += ' ';
    text += std::to_string(units[i].value) + ' ' + units[i].name;
    if (i == 0 && units[i].value >= 2) text += 's';
  }
  return text;
}

}  // namespace shell
