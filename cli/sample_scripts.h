#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "shell/samples_file.h"

namespace cli {

// The samples file that --samples names, or the one beside the executable;
// nothing, with a one-line message in `error`, when it cannot be read (the
// index of an unreadable file would just be empty).
std::optional<shell::SamplesFile> openSamplesFile(const std::string& samplesOption,
                                                  std::string& error);

// One line per sample: its ordinal, a tab, the names of its enclosing
// submenus joined by " / ", a tab, its name.
void listSamples(const shell::SamplesIndex& index, std::ostream& out);

struct SampleScript {
  std::string name;  // the sample's own name
  std::string text;  // as a document holds it: every line ending in "\r\n"
};

// Sample number `ordinal` of the file; nothing, with a one-line message in
// `error`, when the file has no such sample or its text cannot be found.
std::optional<SampleScript> loadSample(shell::SamplesFile& file, int ordinal, std::string& error);

}  // namespace cli
