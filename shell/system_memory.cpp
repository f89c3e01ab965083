#include "system_memory.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace shell {

SystemMemory systemMemory() {
  const uint64_t pageSize = uint64_t(sysconf(_SC_PAGESIZE));
  SystemMemory memory;
  memory.total = uint64_t(sysconf(_SC_PHYS_PAGES)) * pageSize;
  memory.available = uint64_t(sysconf(_SC_AVPHYS_PAGES)) * pageSize;
  // MemAvailable also counts the page cache the kernel would give up.
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  uint64_t kib = 0;
  while (meminfo >> key >> kib) {
    if (key == "MemAvailable:") memory.available = kib * 1024;
    meminfo.ignore(64, '\n');
  }
  return memory;
}

}  // namespace shell
