#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// What the command line asks for.
struct Options {
  std::string script;  // a file name, or "-" for standard input
  bool verbose = false;
  std::optional<uint64_t> seed;  // start of the random state; the clock when absent
  uint32_t width = 320, height = 240;
  bool listTokens = false;  // print the token stream instead of building
  bool dumpScene = false;   // build up to the set compilation and print the sets
  bool help = false;
  bool version = false;
};

// The options of `args` (without the program name); nothing, with a one-line
// message in `error`, when they are not usable.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error);

// The text of --help.
std::string usageText();

}  // namespace cli
