#pragma once

#include <functional>
#include <vector>

#include "shell/samples_menu.h"

class QMenu;

namespace app {

// Replaces the items of a Samples popup with the entries of the samples file:
// submenus, separators, and commands whose data is the command identifier
// (34000 + entry index). `choose` gets the entry index of a chosen command.
void fillSamplesPopup(QMenu* popup, const std::vector<shell::SamplesMenuItem>& items,
                      const std::function<void(int entry)>& choose);

}  // namespace app
