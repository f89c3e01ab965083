#pragma once

#include <string>

namespace cli::testing {

// What a run of the built zentarel3d-cli gave.
struct CliRun {
  int status;  // exit status
  std::string out, err;
};

// Runs the program with `args` (shell words) and `input` on standard input.
CliRun runCli(const std::string& args, const std::string& input = "");

// Writes a script file into a temporary directory of this test process and
// returns its path.
std::string scriptFile(const std::string& name, const std::string& text);

}  // namespace cli::testing
