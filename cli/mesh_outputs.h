#pragma once

#include <string>

namespace engine {
class Fractal;
class FrameBuffer;
}  // namespace engine

namespace cli {

struct Options;

// --mesh and --vdb: the attractor instead of the picture. Every frame that
// a run would trace (the sets at the end, or at each "save_frame") is
// exported instead, into files numbered as --frames numbers them when the
// script saves frames.
class MeshOutputs {
 public:
  explicit MeshOutputs(const Options& options);
  MeshOutputs(const MeshOutputs&) = delete;
  MeshOutputs& operator=(const MeshOutputs&) = delete;

  // The file name of a frame's export: a name with a number field takes the
  // frame number, any other stays as it is.
  static std::string frameFileName(const std::string& name, int frame);

  // Before the build, after the type pre-scan: puts the export in the place
  // of the scene's tracing. False, with a message on std::cerr, when the
  // script saves frames and a file name has no number field.
  bool open(engine::FrameBuffer& frame, engine::Fractal& scene);
  // A mesh or volume file could not be written.
  bool fileFailed() const { return fileFailed_; }

 private:
  bool exportFrame(engine::Fractal& scene, const engine::FrameBuffer& frame);

  const Options& options_;
  bool fileFailed_ = false;
};

}  // namespace cli
