#pragma once

#include <string>

namespace gallery {

// What one build of a sample script left behind.
struct SampleBuild {
  bool built = false;        // BuildDriver::run returned true
  bool savesFrames = false;  // the type pre-scan found "save_frame"
  int frames = 0;            // frames handed to the frame sink
  int blankFrames = 0;       // frames (or the final image) of a single colour
  bool hasImage = false;     // the frame buffer holds a complete image of the requested size
  std::string renderError;   // the scene's error text
  std::string output;        // everything written on std::cout and std::cerr
};

// Builds a script at the given size with one render thread, as the
// application would, with a frame sink that takes every frame; the standard
// streams are captured for the duration.
SampleBuild buildSample(const std::string& script, int width, int height);

}  // namespace gallery
