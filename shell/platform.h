#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What differs between POSIX systems and Windows, behind one interface. File
// names travel through the program as UTF-8 strings; Windows names files in
// UTF-16, and its narrow calls would take them in the ANSI code page.
namespace shell {

std::filesystem::path pathFromUtf8(std::string_view name);
std::string utf8Name(const std::filesystem::path& path);

// std::fopen by a name in any script.
std::FILE* openFile(const std::filesystem::path& path, const char* mode);
// Creates a file for binary writing that must not exist yet (fopen "wbx",
// which Windows' C library lacks); null with errno set, EEXIST when it does.
std::FILE* createNewFile(const std::filesystem::path& path);

// The program's arguments after its name, in UTF-8: on Windows from the
// UTF-16 command line, since argv holds only what the code page can show.
std::vector<std::string> programArguments(int argc, char** argv);

// Standard streams carry bytes unchanged, as on POSIX systems: Windows would
// turn line ends into CRLF and stop reading at Ctrl+Z.
void useBinaryStandardStreams();

bool isTerminal(std::FILE* stream);

// Writes the file's buffered content to the disk; false when that failed.
bool syncToDisk(std::FILE* stream);

// Gives the open file the owner of `target`, where the system has owners and
// the user may give files away.
void takeOwnerOf(const std::filesystem::path& target, std::FILE* stream);

// User processor time of the whole process, every thread included, in
// 100-nanosecond units.
uint64_t processUserTime();

struct PhysicalMemory {
  uint64_t total, available;  // bytes
};
PhysicalMemory physicalMemory();

// Lowers the calling thread's scheduling priority one step below normal;
// threads it starts inherit the lower priority.
void lowerCurrentThreadPriority();

}  // namespace shell
