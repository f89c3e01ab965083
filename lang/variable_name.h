#pragma once

#include <string>

namespace lang {

// `name` is one the script can use as a variable: an identifier (a letter or
// '_', then letters, digits and '_') that is no keyword.
bool isVariableName(const std::string& name);

}  // namespace lang
