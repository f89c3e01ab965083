#pragma once

#include <filesystem>
#include <string_view>

namespace shell {

// Run-time files the executables read.
inline constexpr const char* kSamplesFileName = "Zentarel 3d.samples";
inline constexpr const char* kHelpFileName = "Zentarel 3d.html";
inline constexpr const char* kRussianHelpFileName = "Zentarel 3d.ru.html";

// Where an installed tree keeps the run-time files, relative to the
// executable's directory.
inline constexpr const char* kInstalledDataDirectory = "../share/zentarel3d";

// The directory part of a path; "." when it has none.
std::filesystem::path directoryOf(const std::filesystem::path& file);
// The directory of the running executable; "." when the system does not tell.
std::filesystem::path executableDirectory();

// The run-time file `name` for a program in `programDirectory`: beside it (a
// build tree) or else in kInstalledDataDirectory (an installed tree, wherever
// it was moved); beside it when neither has the file, so that messages name
// the first place looked.
std::filesystem::path runtimeFilePath(const std::filesystem::path& programDirectory,
                                      std::string_view name);
// The same for the running executable.
std::filesystem::path runtimeFilePath(std::string_view name);

std::filesystem::path samplesFilePath();
// The Russian help file when asked for and present, else the English one.
std::filesystem::path helpFilePath(bool russian);

}  // namespace shell
