#include "program_paths.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

namespace shell {

namespace fs = std::filesystem;

namespace {

fs::path executablePath() {
#ifdef _WIN32
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
    if (length == 0) return {};
    if (length < name.size()) return name.substr(0, length);
    name.resize(name.size() * 2);
  }
#else
  std::error_code error;
  fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : path;
#endif
}

}  // namespace

fs::path directoryOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

fs::path executableDirectory() {
  return directoryOf(executablePath());
}

fs::path samplesFilePath() {
  return executableDirectory() / kSamplesFileName;
}

fs::path helpFilePath(bool russian) {
  const fs::path directory = executableDirectory();
  if (russian) {
    fs::path translated = directory / kRussianHelpFileName;
    std::error_code error;
    if (fs::exists(translated, error)) return translated;
  }
  return directory / kHelpFileName;
}

}  // namespace shell
