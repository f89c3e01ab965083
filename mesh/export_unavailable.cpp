#include "attractor_export.h"

namespace mesh {

// Debian has no OpenVDB or Assimp for MinGW-w64: the Windows runner exports
// nothing and says so.
ExportResult exportAttractor(engine::Fractal&, const ExportRequest&) {
  ExportResult result;
  result.error = "this build writes no meshes or volumes";
  return result;
}

}  // namespace mesh
