#include "samples_index.h"

#include <iostream>

#include "script_file.h"

namespace shell {

SamplesIndex SamplesIndex::read(std::istream& in) {
  SamplesIndex index;
  int level = 0;
  for (std::string line; readTextLine(in, line);) {
    std::optional<SampleTag> tag = parseSampleTag(line);
    if (!tag || tag->kind == SampleKind::Rem) continue;
    if (tag->closing) {
      if (tag->kind != SampleKind::Submenu) continue;
      if (level == 0) {
        std::cerr << "warning: ignoring unmatched [/submenu] entry in samples file" << std::endl;
      } else {
        --level;
      }
      continue;
    }
    index.entries_.push_back({tag->kind, level, std::move(tag->name)});
    if (tag->kind == SampleKind::Submenu) ++level;
    if (tag->kind == SampleKind::Sample) ++index.sampleCount_;
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
  if (ordinal < 0) return -1;
  for (int i = 0; i < int(entries_.size()); ++i) {
    if (entries_[i].kind == SampleKind::Sample && ordinal-- == 0) return i;
  }
  return -1;
}

int SamplesIndex::sampleOrdinalOfEntry(int index) const {
  if (index >= int(entries_.size())) return sampleCount_ - 1;
  int ordinal = 0;
  for (int i = 0; i < index; ++i) {
    if (entries_[i].kind == SampleKind::Sample) ++ordinal;
  }
  return ordinal;
}

std::optional<std::vector<std::string>> SamplesIndex::samplePath(int index) const {
  const SampleEntry* sample = entry(index);
  if (!sample || sample->kind != SampleKind::Sample || sample->depth < 0) return std::nullopt;
  std::vector<std::string> path(sample->depth + 1);
  int depth = sample->depth;
  path[depth] = sample->name;
  // The nearest shallower entry before an entry is the submenu it lies in.
  for (int i = index - 1; i >= 0 && depth > 0; --i) {
    if (entries_[i].depth >= depth) continue;
    if (entries_[i].depth != depth - 1) return std::nullopt;
    path[--depth] = entries_[i].name;
  }
  if (depth > 0) return std::nullopt;
  return path;
}

}  // namespace shell
