#pragma once

#include <string>

#include "mesh_format.h"
#include "surface_mesh.h"

namespace mesh {

// Writes the mesh in `format`: binary STL, binary PLY with the point
// colours, OBJ without a material file (these three by our own writers),
// binary glTF 2 with the point colours and 3MF (through Assimp). Empty when written, else the
// reason; a file that was there before is then unchanged.
std::string writeMeshFile(const SurfaceMesh& mesh, MeshFormat format, const std::string& path);

}  // namespace mesh
