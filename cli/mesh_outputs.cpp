#include "mesh_outputs.h"

#include <iostream>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "file_errors.h"
#include "mesh/attractor_export.h"
#include "options.h"
#include "shell/frame_pattern.h"
#include "shell/platform.h"

namespace cli {

MeshOutputs::MeshOutputs(const Options& options) : options_(options) {}

std::string MeshOutputs::frameFileName(const std::string& name, int frame) {
  const std::optional<shell::FramePattern> pattern = shell::FramePattern::parse(name);
  return pattern ? pattern->fileName(unsigned(frame)) : name;
}

bool MeshOutputs::open(engine::FrameBuffer& frame, engine::Fractal& scene) {
  if (!options_.exportsAttractor()) return true;
  if (frame.savesFrames) {
    for (const std::string* name : {&options_.meshFile, &options_.volumeFile})
      if (!name->empty() && !shell::FramePattern::parse(*name)) {
        std::cerr << "zentarel3d-cli: the script saves frames: '" << *name
                  << "' needs a number field for them, such as part%03d"
                  << name->substr(name->rfind('.')) << std::endl;
        return false;
      }
    // The export happened in place of the frame's tracing.
    frame.frameSink = [](engine::FrameBuffer&) { return true; };
  }
  scene.frameExport = [this, &frame](engine::Fractal& exported) {
    return exportFrame(exported, frame);
  };
  return true;
}

bool MeshOutputs::exportFrame(engine::Fractal& scene, const engine::FrameBuffer& frame) {
  mesh::ExportRequest request;
  request.voxels = options_.voxels;
  request.meshScale = options_.meshScale;
  request.adaptivity = options_.meshAdaptivity;
  request.workers = options_.threads;
  request.memoryBudget = shell::physicalMemory().available;
  const int number = frame.savesFrames ? frame.frameCount : 0;
  if (!options_.meshFile.empty()) request.meshFile = frameFileName(options_.meshFile, number);
  if (!options_.volumeFile.empty()) request.volumeFile = frameFileName(options_.volumeFile, number);

  const mesh::ExportResult result = mesh::exportAttractor(scene, request);
  if (!result.unwritableFile.empty()) {
    reportUnwritable(result.unwritableFile == request.meshFile ? "mesh" : "volume",
                     result.unwritableFile, result.error);
    fileFailed_ = true;
    scene.canceled = true;
    return false;
  }
  if (!result.error.empty()) return scene.fail(result.error.c_str());
  if (options_.verbose && !scene.canceled) {
    std::cerr << "exported: " << result.cells << " cells";
    if (!request.meshFile.empty())
      std::cerr << ", " << result.triangles << " triangles, volume " << result.volume << ", area "
                << result.area;
    std::cerr << std::endl;
  }
  return !scene.canceled;
}

}  // namespace cli
