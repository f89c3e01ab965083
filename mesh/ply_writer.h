#pragma once

#include <cstdio>

#include "surface_mesh.h"

namespace mesh {

// Writes the mesh as binary little-endian PLY, the points' colours as bytes
// (Assimp's writer gives the colours as floats under a header that announces
// bytes, which readers take apart). False when the stream failed.
bool writePly(const SurfaceMesh& mesh, std::FILE* file);

}  // namespace mesh
