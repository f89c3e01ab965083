#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "sample_tags.h"

namespace shell {

// One menu entry of the samples file, in file order.
struct SampleEntry {
  SampleKind kind = SampleKind::Sample;  // never Rem
  int depth = 0;                         // number of submenus around it
  std::string name;                      // empty for a separator
};

// The menu entries of a samples file; samples are numbered from 0 in file
// order (their ordinal), entries from 0 counting every kind.
class SamplesIndex {
 public:
  // Reads the tags of a samples file. An unmatched "[/submenu]" is ignored
  // with a warning on std::cerr.
  static SamplesIndex read(std::istream& in);

  const std::vector<SampleEntry>& entries() const { return entries_; }
  int sampleCount() const { return int(sampleEntries_.size()); }

  // The entry, or none when out of range.
  const SampleEntry* entry(int index) const;
  // The entry's name; empty when out of range.
  std::string nameOfEntry(int index) const;
  // The entry of the k-th sample, or -1.
  int entryOfSample(int ordinal) const;
  // The number of samples before the entry; the last sample's ordinal for an
  // index beyond the list.
  int sampleOrdinalOfEntry(int index) const;
  // The names of the submenus around a sample entry, outermost first, then
  // the sample's own name; nothing when the entry is no sample.
  std::optional<std::vector<std::string>> samplePath(int index) const;

 private:
  std::vector<SampleEntry> entries_;
  std::vector<int> parents_;        // per entry: the submenu entry around it, or -1
  std::vector<int> sampleEntries_;  // per sample ordinal: its entry
};

}  // namespace shell
