#pragma once

namespace cli {

// The exit status of a run.
enum ExitCode {
  kBuilt = 0,          // the image (or the animation) was built
  kFailed = 1,         // the build failed or was stopped
  kUsage = 2,          // wrong options, or a file that cannot be read or written
  kNothingToDraw = 3,  // the script ran but has no camera, light or set statement
};

}  // namespace cli
