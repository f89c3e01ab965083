// zentarel3d-cli: builds one scene script from the command line, as the
// desktop application's "Build Fractal" does, and reports the outcome in its
// exit status.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "band_join.h"
#include "exit_codes.h"
#include "options.h"
#include "sample_scripts.h"
#include "script_build.h"
#include "script_source.h"
#include "shell/platform.h"
#include "token_listing.h"

namespace {

int exitWithMessage(const std::string& message) {
  std::cerr << "zentarel3d-cli: " << message << std::endl;
  return cli::kUsage;
}

int run(const std::vector<std::string>& arguments) {
  std::string error;
  const std::optional<cli::Options> options = cli::parseOptions(arguments, error);
  if (!options) return exitWithMessage(error + " (see --help)");
  if (options->help) {
    std::cout << cli::usageText();
    return 0;
  }
  if (options->version) {
    std::cout << cli::versionText();
    return 0;
  }
  if (options->listSamples) {
    std::optional<shell::SamplesFile> samples = cli::openSamplesFile(options->samplesFile, error);
    if (!samples) return exitWithMessage(error);
    cli::listSamples(samples->index(), std::cout);
    return 0;
  }
  if (options->join) return cli::joinParts(*options);
  const std::optional<cli::Script> script = cli::readScript(*options, error);
  if (!script) return exitWithMessage(error);
  if (options->listTokens) {
    return cli::listTokens(script->text, std::cout, std::cerr) ? cli::kBuilt : cli::kFailed;
  }
  return cli::buildScript(*options, *script);
}

// Standard output is a file too: what could not be written there (a full
// device) makes the run fail as any other unwritable file.
int withOutputChecked(int status) {
  // The reason is the one of the write that failed first, usually at a flush
  // before this one.
  std::cout.flush();
  if (std::fflush(stdout) == 0 && !std::ferror(stdout) && !std::cout.fail()) return status;
  return exitWithMessage(std::string("cannot write standard output: ") +
                         std::strerror(errno ? errno : EIO));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    shell::useBinaryStandardStreams();
    return withOutputChecked(run(shell::programArguments(argc, argv)));
  } catch (const std::bad_alloc&) {
    // The build reports its own shortage; this is for any other step.
    std::cerr << "zentarel3d-cli: Not enough memory" << std::endl;
    return cli::kFailed;
  }
}
