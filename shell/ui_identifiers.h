#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace shell {

// Symbolic names of the application's command and control identifiers, as
// the language file uses them for its keys.
struct UiIdentifier {
  std::string_view name;
  int id;
};

std::span<const UiIdentifier> uiIdentifierTable();
// The first name of the table with this identifier; nothing when none.
std::optional<std::string_view> uiIdentifierName(int id);

}  // namespace shell
