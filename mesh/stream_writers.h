#pragma once

#include <cstdio>
#include <memory>

#include "mesh_format.h"
#include "mesh_writer.h"

namespace mesh {

// Writers of our own for the formats that large meshes are mostly wanted
// in, streaming each part to `file` as it comes: binary STL (each triangle
// with its normal), binary little-endian PLY with the points' colours as
// bytes (Assimp's writer gives the colours as floats under a header that
// announces bytes) and OBJ without a material file. Null for the formats
// that Assimp writes.
std::unique_ptr<MeshWriter> streamWriter(MeshFormat format, std::FILE* file);

}  // namespace mesh
