#include "sample_scripts.h"

#include "shell/platform.h"
#include "shell/program_paths.h"
#include "shell/samples_index.h"

namespace cli {

std::optional<shell::SamplesFile> openSamplesFile(const std::string& samplesOption,
                                                  std::string& error) {
  const std::filesystem::path path =
      samplesOption.empty() ? shell::samplesFilePath() : shell::pathFromUtf8(samplesOption);
  shell::SamplesFile file(path);
  file.index();
  if (!file.readError().empty()) {
    error = "cannot read samples file '" + shell::utf8Name(path) + "': " + file.readError();
    return std::nullopt;
  }
  return file;
}

void listSamples(const shell::SamplesIndex& index, std::ostream& out) {
  for (int ordinal = 0; ordinal < index.sampleCount(); ++ordinal) {
    const std::optional<std::vector<std::string>> path =
        index.samplePath(index.entryOfSample(ordinal));
    if (!path) continue;  // a sample outside any proper submenu cannot be loaded either
    std::string submenus;
    for (size_t i = 0; i + 1 < path->size(); ++i) submenus += (i ? " / " : "") + (*path)[i];
    out << ordinal << '\t' << submenus << '\t' << path->back() << '\n';
  }
}

std::optional<SampleScript> loadSample(shell::SamplesFile& file, int ordinal, std::string& error) {
  const shell::SamplesIndex& index = file.index();
  const int entry = index.entryOfSample(ordinal);
  if (entry < 0) {
    error = "no sample " + std::to_string(ordinal) + ": '" + shell::utf8Name(file.path()) +
            "' has " + std::to_string(index.sampleCount()) + " samples (see --list-samples)";
    return std::nullopt;
  }
  std::optional<std::string> text = file.sampleText(entry);
  if (!text) {
    error = "cannot find the text of sample " + std::to_string(ordinal) + " in '" +
            shell::utf8Name(file.path()) + "'";
    return std::nullopt;
  }
  return SampleScript{index.nameOfEntry(entry), std::move(*text)};
}

}  // namespace cli
