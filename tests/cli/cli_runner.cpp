#include "cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

int runAlongside(const std::vector<std::string>& args, const std::string& errPath,
                 const std::function<void(pid_t, const std::string&)>& meanwhile) {
  int output[2];
  if (pipe(output) != 0) return -1;
  std::vector<char*> argv{const_cast<char*>(CLI_PATH)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  const bool started = posix_spawn(&pid, CLI_PATH, &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  int status = -1;
  if (started) {
    std::string line;
    for (char c; !line.ends_with('\n') && read(output[0], &c, 1) == 1;) line += c;
    meanwhile(pid, line);
    for (char buffer[4096]; read(output[0], buffer, sizeof buffer) > 0;) {
    }
    waitpid(pid, &status, 0);
  }
  close(output[0]);
  return started && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace cli::testing
