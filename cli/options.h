#pragma once

// The command line of zentarel3d-cli.
//
// The runner builds one script (a file, "-" for standard input, or a sample
// of the samples file) as the application's "Build Fractal" does. The
// script's own output keeps the application's log formats: echo lines,
// warnings and camera changes on standard output, "error: ..." lines on
// standard error. The runner's own messages start with "zentarel3d-cli: ".
// Nothing is written unless asked for: -o writes the image of a successful
// build, --depth its depth buffer, --avi, --video and --frames take the
// frames of "save_frame", --update-script writes a rewritten camera
// statement back; --mesh and --vdb write the attractor in place of the
// picture. Exit status: 0 image built,
// 1 build failed, 2 usage error or a file that cannot be read or written,
// 3 the script has nothing to draw.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lang/build_driver.h"
#include "mesh/attractor_export.h"
#include "shell/video_codecs.h"
#include "work_split.h"

namespace cli {

// What the command line asks for.
struct Options {
  std::string script;  // a file name, or "-" for standard input; empty with --sample
  bool verbose = false;
  bool quiet = false;            // nothing of the script's own output on standard output but errors
  std::optional<uint64_t> seed;  // start of the random state; the clock when absent
  uint32_t width = 320, height = 240;
  bool sizeGiven = false;  // -s: the size wins over the one a PNG script recorded
  int threads = 0;         // render workers; 0: one per core
  lang::BuildDriver::Definitions definitions;  // -D: numbers and strings the script starts with

  std::string imageFile;      // -o: the image of a successful build
  bool updateScript = false;  // write a rewritten camera statement back to the script
  std::string videoFile;      // --avi or --video: the frames of "save_frame" as a video
  shell::VideoContainer videoContainer = shell::VideoContainer::Avi;  // --video: by extension
  std::string videoCodec = shell::kDefaultVideoCodec;  // --codec; --video: the container's first
  int videoQuality = shell::kDefaultVideoQuality;      // --quality, for codecs that take one
  std::string framePattern;  // --frames: the frames as numbered image files
  std::string depthFile;     // --depth: the depth buffer of a successful build, OpenEXR

  // The attractor instead of the picture: a mesh and an OpenVDB volume.
  std::string meshFile;    // --mesh, by its extension
  std::string volumeFile;  // --vdb
  int voxels = 256;        // --voxels: cells along the longest side of the attractor
  double meshScale = 1.0;  // --mesh-scale
  double meshAdaptivity = mesh::kDefaultAdaptivity;  // --mesh-adaptivity, 0 to 1
  bool exportsAttractor() const { return !meshFile.empty() || !volumeFile.empty(); }

  // Splitting a render over processes.
  std::optional<FrameRange> frameRange;  // --frame-range: only these frames are rendered
  std::optional<ImagePart> part;         // --part: only this band, written by -o
  bool countFrames = false;  // print the number of frames and the frame rate, render none
  bool join = false;         // --join: assemble `parts` into -o or --avi
  std::vector<std::string> parts;
  int framesPerSecond = 15;  // --fps, for --join --avi

  bool listSamples = false;
  std::optional<int> sample;  // the ordinal of the sample to build instead of a script
  std::string samplesFile;    // empty: the samples file beside the executable

  bool listTokens = false;  // print the token stream instead of building
  bool dumpScene = false;   // build up to the set compilation and print the sets
  bool help = false;
  bool version = false;
};

// The options of `args` (without the program name); nothing, with a one-line
// message in `error`, when they are not usable.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error);

// The text of --help.
std::string usageText();
// The version, then the image formats and the video codecs this build offers.
std::string versionText();

}  // namespace cli
