#include "script_source.h"

#include <filesystem>
#include <iostream>

#include "options.h"
#include "sample_scripts.h"
#include "shell/limited_read.h"
#include "shell/platform.h"
#include "shell/scene_png.h"
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
  return Script{sample->name, std::move(sample->text), {}, {}, {}};
}

}  // namespace

std::optional<Script> readScript(const Options& options, std::string& error) {
  if (options.sample) return readSample(options, error);
  const bool standardInput = options.script == "-";
  const std::string source =
      standardInput ? std::string("standard input") : "'" + options.script + "'";
  shell::LimitedRead read = standardInput
                                ? shell::readLimited(std::cin)
                                : shell::readFileLimited(shell::pathFromUtf8(options.script));
  std::optional<shell::SceneScript> scene;
  if (read.ok()) scene = shell::sceneScriptOf(read.bytes, error);
  if (!scene) {
    error = "cannot read " + source + ": " +
            (read.tooLarge ? kScriptTooLarge
             : read.ok()   ? error
                           : read.error);
    return std::nullopt;
  }
  if (scene->fromPng && options.updateScript) {
    error = "--update-script cannot rewrite the script that " + source + " carries";
    return std::nullopt;
  }
  Script script{
      standardInput ? "<stdin>" : shell::utf8Name(shell::pathFromUtf8(options.script).filename()),
      std::move(scene->text),
      {},
      scene->randomState,
      scene->size};
  if (!standardInput && !scene->fromPng) script.fileBytes = std::move(read.bytes);
  return script;
}

}  // namespace cli
