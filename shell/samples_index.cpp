#include "samples_index.h"

#include <algorithm>
#include <iostream>

#include "script_file.h"

namespace shell {

SamplesIndex SamplesIndex::read(std::istream& in) {
  SamplesIndex index;
  std::vector<int> submenus;  // the entries of the submenus open at this point
  for (std::string line; readTextLine(in, line);) {
    std::optional<SampleTag> tag = parseSampleTag(line);
    if (!tag || tag->kind == SampleKind::Rem) continue;
    if (tag->closing) {
      if (tag->kind != SampleKind::Submenu) continue;
      if (submenus.empty()) {
        std::cerr << "warning: ignoring unmatched [/submenu] entry in samples file" << std::endl;
      } else {
        submenus.pop_back();
      }
      continue;
    }
    const int entry = int(index.entries_.size());
    index.entries_.push_back({tag->kind, int(submenus.size()), std::move(tag->name)});
    index.parents_.push_back(submenus.empty() ? -1 : submenus.back());
    if (tag->kind == SampleKind::Submenu) submenus.push_back(entry);
    if (tag->kind == SampleKind::Sample) index.sampleEntries_.push_back(entry);
  }
  return index;
}

const SampleEntry* SamplesIndex::entry(int index) const {
  if (index < 0 || index >= int(entries_.size())) return nullptr;
  return &entries_[index];
}

std::string SamplesIndex::nameOfEntry(int index) const {
  const SampleEntry* found = entry(index);
  return found ? found->name : std::string();
}

int SamplesIndex::entryOfSample(int ordinal) const {
  return ordinal >= 0 && ordinal < sampleCount() ? sampleEntries_[ordinal] : -1;
}

int SamplesIndex::sampleOrdinalOfEntry(int index) const {
  if (index >= int(entries_.size())) return sampleCount() - 1;
  return int(std::lower_bound(sampleEntries_.begin(), sampleEntries_.end(), index) -
             sampleEntries_.begin());
}

std::optional<std::vector<std::string>> SamplesIndex::samplePath(int index) const {
  const SampleEntry* sample = entry(index);
  if (!sample || sample->kind != SampleKind::Sample || sample->depth < 0) return std::nullopt;
  std::vector<std::string> path(sample->depth + 1);
  int at = index;
  for (int depth = sample->depth; depth >= 0; --depth, at = parents_[at]) {
    if (at < 0) return std::nullopt;
    path[depth] = entries_[at].name;
  }
  return path;
}

}  // namespace shell
