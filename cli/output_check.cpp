#include "output_check.h"

#include "file_errors.h"
#include "mesh_outputs.h"
#include "options.h"
#include "shell/atomic_file.h"
#include "shell/frame_pattern.h"
#include "shell/platform.h"

namespace cli {

namespace {

bool writable(std::string_view kind, const std::string& path) {
  const std::string reason = shell::checkWritable(shell::pathFromUtf8(path));
  if (reason.empty()) return true;
  reportUnwritable(kind, path, reason);
  return false;
}

}  // namespace

bool outputsWritable(const Options& options) {
  bool all = true;
  if (!options.imageFile.empty()) all = writable("image", options.imageFile) && all;
  if (!options.depthFile.empty()) all = writable("depth", options.depthFile) && all;
  if (!options.videoFile.empty()) all = writable("video", options.videoFile) && all;
  if (!options.meshFile.empty())
    all = writable("mesh", MeshOutputs::frameFileName(options.meshFile, 0)) && all;
  if (!options.volumeFile.empty())
    all = writable("volume", MeshOutputs::frameFileName(options.volumeFile, 0)) && all;
  if (const auto pattern = shell::FramePattern::parse(options.framePattern)) {
    all = writable("image", pattern->fileName(0)) && all;
  }
  return all;
}

}  // namespace cli
