#pragma once

#include <cstdint>

namespace app {

// Bytes the renderer may use for the ray records of one tile: the available
// physical memory, but at least a quarter of the total and at least 102400.
uint64_t memoryBudgetFrom(uint64_t availableBytes, uint64_t totalBytes);
// The same for this machine now.
uint64_t renderMemoryBudget();

}  // namespace app
