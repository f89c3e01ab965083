#pragma once

namespace cli {

struct Options;
struct Script;

// Builds the script as the application's "Build Fractal" does, with the
// outputs that the options ask for; returns the exit status.
int buildScript(const Options& options, const Script& script);

}  // namespace cli
