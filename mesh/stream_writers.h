#pragma once

#include <cstdio>

#include "surface_mesh.h"

namespace mesh {

// Writers of our own for the formats that large meshes are mostly wanted
// in: they stream the mesh without the copy that Assimp's scene would take.
// Each returns false when the stream failed.

// Binary little-endian PLY with the points' colours as bytes (Assimp's
// writer gives the colours as floats under a header that announces bytes).
bool writePly(const SurfaceMesh& mesh, std::FILE* file);
// Binary STL: each triangle with its normal.
bool writeStl(const SurfaceMesh& mesh, std::FILE* file);
// Wavefront OBJ without a material file.
bool writeObj(const SurfaceMesh& mesh, std::FILE* file);

}  // namespace mesh
