#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "samples_index.h"

namespace shell {

// Why the index of a samples file larger than kInputLimit is empty.
inline constexpr const char* kSamplesFileTooLarge = "samples file too large";

// The samples file as the application uses it: the index is loaded on first
// use and again whenever the file's modification time or size changed; the
// text of a sample is read from the file when it is asked for.
class SamplesFile {
 public:
  explicit SamplesFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }
  // Empty when the file cannot be read.
  const SamplesIndex& index();
  // Why the last load found no index: the system's reason or
  // kSamplesFileTooLarge; empty when the file was read.
  const std::string& readError() const { return readError_; }
  // Reloads the index when the file changed since it was loaded, or when it
  // was never loaded; true when it did.
  bool reloadIfChanged();
  // Counts the loads of the index: a menu filled from an older generation
  // is out of date. 0 before the first load.
  unsigned generation() const { return generation_; }
  // The script text of a sample entry; nothing when the entry is no sample
  // or the file no longer holds it.
  std::optional<std::string> sampleText(int entry);

 private:
  struct Stamp {
    std::filesystem::file_time_type modified;
    std::uintmax_t size = 0;
    bool operator==(const Stamp&) const = default;
  };
  std::optional<Stamp> currentStamp() const;
  void load();

  std::filesystem::path path_;
  bool loaded_ = false;
  std::optional<Stamp> stamp_;  // as seen at the last load; none for a missing file
  SamplesIndex index_;
  std::string readError_;
  unsigned generation_ = 0;
};

}  // namespace shell
