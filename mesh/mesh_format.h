#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mesh {

enum class MeshFormat { Stl, Ply, Obj, Glb, ThreeMf };

// The format that a file name's extension asks for (.stl, .ply, .obj,
// .glb, .3mf in any letter case); nothing for any other name.
std::optional<MeshFormat> meshFormatOf(std::string_view fileName);
// The extensions, for messages: ".stl, .ply, .obj, .glb, .3mf".
std::string meshExtensions();

}  // namespace mesh
