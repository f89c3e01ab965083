// zentarel3d-cli: builds one scene script from the command line, as the
// desktop application's "Build Fractal" does, and reports the outcome in its
// exit status.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "interrupt.h"
#include "lang/build_driver.h"
#include "options.h"
#include "scene_dump.h"
#include "shell/duration.h"
#include "shell/script_file.h"
#include "token_listing.h"

namespace {

enum ExitCode { kBuilt = 0, kFailed = 1, kUsage = 2, kNothingToDraw = 3 };

std::optional<std::string> readScript(const std::string& name) {
  if (name == "-") return shell::readScriptText(std::cin);
  if (std::filesystem::is_directory(name)) return std::nullopt;
  return shell::readScriptFile(name);
}

engine::RandomState startState(const std::optional<uint64_t>& seed) {
  using engine::RandomState;
  if (seed) return RandomState::fromValue(*seed & RandomState::kModulusMask);
  // An odd state: the generator only multiplies, so an even one loses low bits.
  const auto now = std::chrono::system_clock::now().time_since_epoch().count();
  return RandomState::fromValue((uint64_t(now) | 1) & RandomState::kModulusMask);
}

std::string displayName(const std::string& script) {
  return script == "-" ? "<stdin>" : std::filesystem::path(script).filename().string();
}

int build(const cli::Options& options, const std::string& text) {
  engine::FrameBuffer frame;
  frame.scriptText = text;
  frame.requestedWidth = options.width;
  frame.requestedHeight = options.height;
  frame.randomState = startState(options.seed);
  const auto start = std::chrono::steady_clock::now();
  if (options.verbose) std::cerr << "building: " << displayName(options.script) << std::endl;

  int code = kFailed;
  if (std::unique_ptr<engine::Fractal> scene = lang::createScene(frame)) {
    scene->frameBuffer = &frame;
    lang::BuildDriver driver(options.dumpScene ? lang::BuildDriver::Stage::Prepare
                                               : lang::BuildDriver::Stage::Render);
    bool done = false;
    {
      cli::InterruptCancels interrupt(scene->canceled);
      done = driver.run(*scene);
    }
    if (!scene->renderError.empty()) std::cout << scene->renderError << std::endl;
    if (done && options.dumpScene) cli::dumpScene(*scene, std::cout);
    code = done ? kBuilt : driver.drewNothing() ? kNothingToDraw : kFailed;
  }

  if (options.verbose) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100;
    std::cerr << "finished: " << shell::formatDuration(uint64_t(ticks)) << std::endl;
  }
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<cli::Options> options =
      cli::parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "zentarel3d-cli: " << error << " (see --help)" << std::endl;
    return kUsage;
  }
  if (options->help) {
    std::cout << cli::usageText();
    return 0;
  }
  if (options->version) {
    std::cout << "zentarel3d-cli " ZENTAREL_VERSION << std::endl;
    return 0;
  }
  const std::optional<std::string> text = readScript(options->script);
  if (!text) {
    std::cerr << "zentarel3d-cli: cannot read '" << options->script << "'" << std::endl;
    return kUsage;
  }
  if (options->listTokens) return cli::listTokens(*text, std::cout, std::cerr) ? 0 : kFailed;
  return build(*options, *text);
}
