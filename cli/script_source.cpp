#include "script_source.h"

#include <filesystem>
#include <iostream>
#include <sstream>

#include "options.h"
#include "sample_scripts.h"
#include "shell/limited_read.h"
#include "shell/platform.h"
#include "shell/script_file.h"

namespace cli {

namespace {

// Said when a script is larger than shell::kInputLimit.
constexpr const char* kScriptTooLarge = "script too large";

std::optional<Script> readSample(const Options& options, std::string& error) {
  std::optional<shell::SamplesFile> file = openSamplesFile(options.samplesFile, error);
  if (!file) return std::nullopt;
  std::optional<SampleScript> sample = loadSample(*file, *options.sample, error);
  if (!sample) return std::nullopt;
  return Script{sample->name, std::move(sample->text), {}};
}

}  // namespace

std::optional<Script> readScript(const Options& options, std::string& error) {
  if (options.sample) return readSample(options, error);
  const bool standardInput = options.script == "-";
  shell::LimitedRead read = standardInput
                                ? shell::readLimited(std::cin)
                                : shell::readFileLimited(shell::pathFromUtf8(options.script));
  if (!read.ok()) {
    error = (standardInput ? std::string("cannot read standard input")
                           : "cannot read '" + options.script + "'") +
            ": " + (read.tooLarge ? kScriptTooLarge : read.error);
    return std::nullopt;
  }
  std::istringstream in(read.bytes);
  std::string text = shell::readScriptText(in);
  if (standardInput) return Script{"<stdin>", std::move(text), {}};
  return Script{shell::utf8Name(shell::pathFromUtf8(options.script).filename()), std::move(text),
                std::move(read.bytes)};
}

}  // namespace cli
