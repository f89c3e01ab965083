#pragma once

#include <sys/types.h>

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

// Starts the program with `args`, its standard stream `stream` (1 or 2) on
// the descriptor `fd`, and closes `closeInChild` in it; the process id, or -1.
pid_t spawnCli(const std::vector<std::string>& args, int stream, int fd, int closeInChild);

// The exit status of a spawned run, -1 when it did not exit.
int exitStatus(pid_t pid);

}  // namespace cli::testing
