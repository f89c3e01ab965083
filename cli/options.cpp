#include "options.h"

#include <charconv>

namespace cli {

namespace {

template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end;
}

// "WxH" with both sides from 1 to 65535.
bool parseSize(const std::string& text, uint32_t& width, uint32_t& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  return parseNumber(text.substr(0, x), width) && parseNumber(text.substr(x + 1), height) &&
         width >= 1 && height >= 1 && width <= 65535 && height <= 65535;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  bool haveScript = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // The value of an option that takes one.
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "-v" || arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--tokens") {
      options.listTokens = true;
    } else if (arg == "--dump-scene") {
      options.dumpScene = true;
    } else if (arg == "--seed") {
      uint64_t seed = 0;
      if (!value(text)) return std::nullopt;
      if (!parseNumber(text, seed)) {
        error = "--seed needs a number from 0 up, not '" + text + "'";
        return std::nullopt;
      }
      options.seed = seed;
    } else if (arg == "-s" || arg == "--size") {
      if (!value(text)) return std::nullopt;
      if (!parseSize(text, options.width, options.height)) {
        error = "--size needs WIDTHxHEIGHT (1 to 65535 each), not '" + text + "'";
        return std::nullopt;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else if (haveScript) {
      error = "only one script can be built, not '" + options.script + "' and '" + arg + "'";
      return std::nullopt;
    } else {
      options.script = arg;
      haveScript = true;
    }
  }
  if (!haveScript && !options.help && !options.version) {
    error = "no script given";
    return std::nullopt;
  }
  if (options.listTokens && options.dumpScene) {
    error = "--tokens and --dump-scene exclude each other";
    return std::nullopt;
  }
  return options;
}

std::string usageText() {
  return "Usage: zentarel3d-cli [OPTIONS] SCRIPT\n"
         "Builds a Zentarel 3d scene script (SCRIPT '-' reads standard input).\n"
         "\n"
         "  -s, --size WxH    image size in pixels (default 320x240)\n"
         "      --seed N      start the random generator at N (modulo 2^40)\n"
         "  -v, --verbose     report start and duration of the build on standard error\n"
         "      --tokens      print the script's tokens (line, type, text) and stop\n"
         "      --dump-scene  compile the sets, print them and stop before rendering\n"
         "  -h, --help        show this text\n"
         "      --version     show the version\n"
         "\n"
         "Exit status: 0 image built, 3 nothing to draw, 1 build failed, 2 usage error.\n";
}

}  // namespace cli
