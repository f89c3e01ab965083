#include "memory_budget.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace app {

uint64_t memoryBudgetFrom(uint64_t availableBytes, uint64_t totalBytes) {
  return std::max({availableBytes, totalBytes / 4, uint64_t{102400}});
}

uint64_t renderMemoryBudget() {
  const uint64_t pageSize = uint64_t(sysconf(_SC_PAGESIZE));
  uint64_t total = uint64_t(sysconf(_SC_PHYS_PAGES)) * pageSize;
  uint64_t available = uint64_t(sysconf(_SC_AVPHYS_PAGES)) * pageSize;
  // MemAvailable also counts the page cache the kernel would give up.
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  uint64_t kib = 0;
  while (meminfo >> key >> kib) {
    if (key == "MemAvailable:") available = kib * 1024;
    meminfo.ignore(64, '\n');
  }
  return memoryBudgetFrom(available, total);
}

}  // namespace app
