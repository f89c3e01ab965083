#pragma once

#include <optional>
#include <string>
#include <vector>

#include "samples_index.h"

namespace shell {

// Command of the first entry (SAMPLES_FIRSTSAMPLE); entry e has this plus e.
inline constexpr int kFirstSampleCommand = 34000;

// One item of the Samples menu, for the application to turn into its menus.
struct SamplesMenuItem {
  enum class Type { Command, Submenu, Separator };
  Type type = Type::Command;
  std::string text;                    // the entry's name; empty for separators
  int command = 0;                     // kFirstSampleCommand + entry index, for commands
  std::vector<SamplesMenuItem> items;  // of a submenu
};

// The items of the Samples menu: samples and includes become commands,
// submenus nest the entries one level deeper. An entry deeper than the
// submenu it would go into is left out.
std::vector<SamplesMenuItem> buildSamplesMenu(const std::vector<SampleEntry>& entries);

enum class SampleStep { Previous, Next };

// The sample that Previous or Next Sample loads, from the current sample
// number: that number, kept inside the samples, moved one step unless that
// would leave them. Nothing when there are no samples.
std::optional<int> stepSample(int current, int sampleCount, SampleStep step);

}  // namespace shell
