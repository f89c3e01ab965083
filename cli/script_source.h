#pragma once

#include <optional>
#include <string>

namespace cli {

struct Options;

// The script that a run builds, read once at the start.
struct Script {
  std::string name;       // for the "building: " line
  std::string text;       // as a document holds it: every line ending in "\r\n"
  std::string fileBytes;  // the script file as it was read; empty for standard input and samples
};

// Reads the script that the options name: a file, standard input ("-") or a
// sample of the samples file. Nothing, with a one-line message in `error`,
// when it cannot be read.
std::optional<Script> readScript(const Options& options, std::string& error);

}  // namespace cli
