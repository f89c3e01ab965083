#include "samples_file.h"

#include <sstream>

#include "limited_read.h"
#include "sample_text.h"

namespace shell {

const SamplesIndex& SamplesFile::index() {
  if (!loaded_) load();
  return index_;
}

bool SamplesFile::reloadIfChanged() {
  if (loaded_ && currentStamp() == stamp_) return false;
  load();
  return true;
}

std::optional<std::string> SamplesFile::sampleText(int entry) {
  const std::optional<std::vector<std::string>> samplePath = index().samplePath(entry);
  if (!samplePath) return std::nullopt;
  const LimitedRead file = readFileLimited(path_);
  if (!file.ok()) return std::nullopt;
  std::istringstream in(file.bytes);
  return readSampleText(in, *samplePath);
}

std::optional<SamplesFile::Stamp> SamplesFile::currentStamp() const {
  std::error_code error;
  Stamp stamp;
  stamp.modified = std::filesystem::last_write_time(path_, error);
  if (error) return std::nullopt;
  stamp.size = std::filesystem::file_size(path_, error);
  if (error) return std::nullopt;
  return stamp;
}

void SamplesFile::load() {
  stamp_ = currentStamp();
  const LimitedRead file = readFileLimited(path_);
  readError_ = file.tooLarge ? kSamplesFileTooLarge : file.error;
  std::istringstream in(file.bytes);
  index_ = readError_.empty() ? SamplesIndex::read(in) : SamplesIndex();
  loaded_ = true;
  ++generation_;
}

}  // namespace shell
