#include "cli_runner.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace cli::testing {

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Test processes run side by side: each gets files of its own.
std::string ownFile(const std::string& name) {
  return ::testing::TempDir() + "zentarel_cli_" + std::to_string(getpid()) + "_" + name;
}

}  // namespace

CliRun runCli(const std::string& args, const std::string& input) {
  const std::string in = ownFile("in"), out = ownFile("out"), err = ownFile("err");
  writeFile(in, input);
  const std::string command =
      std::string(CLI_PATH) + " " + args + " <" + in + " >" + out + " 2>" + err;
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status)) << command;
  return {WEXITSTATUS(status), readFile(out), readFile(err)};
}

std::string scriptFile(const std::string& name, const std::string& text) {
  const std::string path = ownFile(name);
  writeFile(path, text);
  return path;
}

}  // namespace cli::testing
