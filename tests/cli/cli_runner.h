#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "test_files.h"

namespace cli::testing {

using shell::testing::readFile;
using shell::testing::TempDir;

// What a run of the built zentarel3d-cli gave.
struct CliRun {
  int status;  // exit status
  std::string out, err;
};

// Runs the program with `args` (shell words) and `input` on standard input.
CliRun runCli(const std::string& args, const std::string& input = "");

// Runs the program with `args` and standard error into the file `errPath`;
// once it has printed its first line, calls `meanwhile` with its process id
// and that line, then reads the rest of its output. The exit status, -1 when
// it did not exit.
int runAlongside(const std::vector<std::string>& args, const std::string& errPath,
                 const std::function<void(pid_t, const std::string&)>& meanwhile);

}  // namespace cli::testing
