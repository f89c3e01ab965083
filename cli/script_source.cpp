#include "script_source.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "options.h"
#include "sample_scripts.h"
#include "shell/script_file.h"

namespace cli {

namespace {

std::optional<std::string> fileBytes(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

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
  if (options.script == "-") return Script{"<stdin>", shell::readScriptText(std::cin), {}};
  std::optional<std::string> bytes = fileBytes(options.script);
  if (!bytes) {
    error = "cannot read '" + options.script + "'";
    return std::nullopt;
  }
  std::istringstream in(*bytes);
  return Script{std::filesystem::path(options.script).filename().string(),
                shell::readScriptText(in), std::move(*bytes)};
}

}  // namespace cli
