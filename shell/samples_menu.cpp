#include "samples_menu.h"

#include <algorithm>

namespace shell {

std::vector<SamplesMenuItem> buildSamplesMenu(const std::vector<SampleEntry>& entries) {
  using Type = SamplesMenuItem::Type;
  std::vector<SamplesMenuItem> menu;
  // The open submenus, the menu itself at depth 0. Only the innermost one
  // grows, so the pointers to the outer ones stay valid.
  std::vector<std::vector<SamplesMenuItem>*> open = {&menu};
  for (int index = 0; index < int(entries.size()); ++index) {
    const SampleEntry& entry = entries[index];
    const int level = int(open.size()) - 1;
    if (entry.depth < 0 || entry.depth > level) continue;
    open.resize(entry.depth + 1);
    std::vector<SamplesMenuItem>& items = *open.back();
    switch (entry.kind) {
      case SampleKind::Submenu:
        items.push_back({Type::Submenu, entry.name, 0, {}});
        open.push_back(&items.back().items);
        break;
      case SampleKind::Separator:
        items.push_back({Type::Separator, {}, 0, {}});
        break;
      case SampleKind::Sample:
      case SampleKind::Include:
        items.push_back({Type::Command, entry.name, kFirstSampleCommand + index, {}});
        break;
      case SampleKind::Rem:
        break;
    }
  }
  return menu;
}

std::optional<int> stepSample(int current, int sampleCount, SampleStep step) {
  if (sampleCount <= 0) return std::nullopt;
  const int sample = std::clamp(current, 0, sampleCount - 1);
  if (step == SampleStep::Previous) return std::max(sample - 1, 0);
  return std::min(sample + 1, sampleCount - 1);
}

}  // namespace shell
