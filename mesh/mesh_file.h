#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "surface_mesh.h"

namespace mesh {

enum class MeshFormat { Stl, Ply, Obj, Glb, ThreeMf };

// The format that a file name's extension asks for (.stl, .ply, .obj,
// .glb, .3mf in any letter case); nothing for any other name.
std::optional<MeshFormat> meshFormatOf(std::string_view fileName);
// The extensions, for messages: ".stl, .ply, .obj, .glb, .3mf".
std::string meshExtensions();

// Writes the mesh in `format`: binary STL, binary PLY with the point
// colours, OBJ without a material file (these three by our own writers),
// binary glTF 2 with the point colours and 3MF (through Assimp). Empty when written, else the
// reason; a file that was there before is then unchanged.
std::string writeMeshFile(const SurfaceMesh& mesh, MeshFormat format, const std::string& path);

}  // namespace mesh
