#include "cli_runner.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

extern char** environ;

namespace cli::testing {

CliRun runCli(const std::string& args, const std::string& input) {
  static const TempDir streams;  // test processes run side by side: each has its own files
  const std::string in = streams.write("in", input), out = streams.file("out"),
                    err = streams.file("err");
  const std::string command =
      std::string(CLI_PATH) + " " + args + " <" + in + " >" + out + " 2>" + err;
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status)) << command;
  return {WEXITSTATUS(status), readFile(out), readFile(err)};
}

pid_t spawnCli(const std::vector<std::string>& args, int stream, int fd, int closeInChild) {
  std::vector<char*> argv{const_cast<char*>(CLI_PATH)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fd, stream);
  posix_spawn_file_actions_addclose(&actions, closeInChild);
  pid_t pid = -1;
  if (posix_spawn(&pid, CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int exitStatus(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace cli::testing
