#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace shell {

// Reads a samples file from the start and returns the script text of the
// sample found by its path (the names of the enclosing submenus, outermost
// first, then the sample's name; see SamplesIndex::samplePath). The text is
// the lines after the sample's tag up to the next tag other than "[rem]",
// each followed by "\r\n", with the common indentation of tabs removed.
// Nothing when the file holds no such sample.
std::optional<std::string> readSampleText(std::istream& in, const std::vector<std::string>& path);

}  // namespace shell
