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

fs::path runtimeFilePath(const fs::path& programDirectory, std::string_view name) {
  const fs::path beside = programDirectory / name;
  const fs::path installed = programDirectory / kInstalledDataDirectory / name;
  std::error_code error;
  if (!fs::exists(beside, error) && fs::exists(installed, error))
    return installed.lexically_normal();
  return beside;
}

fs::path runtimeFilePath(std::string_view name) {
  return runtimeFilePath(executableDirectory(), name);
}

fs::path samplesFilePath() {
  return runtimeFilePath(kSamplesFileName);
}

fs::path helpFilePath(bool russian) {
  if (russian) {
    fs::path translated = runtimeFilePath(kRussianHelpFileName);
    std::error_code error;
    if (fs::exists(translated, error)) return translated;
  }
  return runtimeFilePath(kHelpFileName);
}

}  // namespace shell
