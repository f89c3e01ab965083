#include "memory_budget.h"

#include <algorithm>

#include "shell/system_memory.h"

namespace app {

uint64_t memoryBudgetFrom(uint64_t availableBytes, uint64_t totalBytes) {
  return std::max({availableBytes, totalBytes / 4, uint64_t{102400}});
}

uint64_t renderMemoryBudget() {
  const shell::SystemMemory memory = shell::systemMemory();
  return memoryBudgetFrom(memory.available, memory.total);
}

}  // namespace app
