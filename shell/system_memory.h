#pragma once

#include <cstdint>

namespace shell {

struct SystemMemory {
  uint64_t available = 0;  // what the system can give without swapping
  uint64_t total = 0;
};

// This machine's physical memory now.
SystemMemory systemMemory();

}  // namespace shell
