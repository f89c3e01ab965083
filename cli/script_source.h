#pragma once

#include <optional>
#include <string>

#include "shell/scene_png.h"

namespace cli {

struct Options;

// The script that a run builds, read once at the start.
struct Script {
  std::string name;       // for the "building: " line
  std::string text;       // as a document holds it: every line ending in "\r\n"
  std::string fileBytes;  // the script file as it was read; empty for standard input and samples
  // What the build of a scene carried by a PNG file started from.
  std::optional<engine::RandomState> randomState;
  std::optional<shell::ImageSize> size;
};

// Reads the script that the options name: a file, standard input ("-") or a
// sample of the samples file; a PNG file gives the scene that it carries. Nothing, with a one-line
// message in `error`, when it cannot be read.
std::optional<Script> readScript(const Options& options, std::string& error);

}  // namespace cli
