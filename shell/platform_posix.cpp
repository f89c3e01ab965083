#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform.h"

namespace shell {

std::FILE* openFile(const std::filesystem::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::FILE* createNewFile(const std::filesystem::path& path) {
  return std::fopen(path.c_str(), "wbx");
}

std::vector<std::string> programArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void useBinaryStandardStreams() {}

bool isTerminal(std::FILE* stream) {
  return ::isatty(::fileno(stream));
}

bool syncToDisk(std::FILE* stream) {
  return ::fsync(::fileno(stream)) == 0;
}

void takeOwnerOf(const std::filesystem::path& target, std::FILE* stream) {
  struct stat info;
  if (::stat(target.c_str(), &info) == 0 && ::fchown(::fileno(stream), info.st_uid, info.st_gid)) {
    // Only a privileged user may give a file away; the copy stays the user's.
  }
}

uint64_t processUserTime() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return uint64_t(usage.ru_utime.tv_sec) * 10000000u + uint64_t(usage.ru_utime.tv_usec) * 10u;
}

PhysicalMemory physicalMemory() {
  const uint64_t pageSize = uint64_t(sysconf(_SC_PAGESIZE));
  PhysicalMemory memory{uint64_t(sysconf(_SC_PHYS_PAGES)) * pageSize,
                        uint64_t(sysconf(_SC_AVPHYS_PAGES)) * pageSize};
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

void lowerCurrentThreadPriority() {
  // On Linux a nice value belongs to a thread; QThread priorities have no
  // effect under the default scheduling policy.
  const id_t thread = id_t(gettid());
  setpriority(PRIO_PROCESS, thread, getpriority(PRIO_PROCESS, thread) + 1);
}

}  // namespace shell
