#include "mesh_format.h"

#include <array>
#include <utility>

#include "shell/file_extension.h"

namespace mesh {

namespace {

constexpr std::array<std::pair<MeshFormat, std::string_view>, 5> kExtensions = {{
    {MeshFormat::Stl, ".stl"},
    {MeshFormat::Ply, ".ply"},
    {MeshFormat::Obj, ".obj"},
    {MeshFormat::Glb, ".glb"},
    {MeshFormat::ThreeMf, ".3mf"},
}};

}  // namespace

std::optional<MeshFormat> meshFormatOf(std::string_view fileName) {
  for (const auto& [format, extension] : kExtensions)
    if (shell::hasExtension(fileName, extension)) return format;
  return std::nullopt;
}

std::string meshExtensions() {
  std::string list;
  for (const auto& entry : kExtensions)
    list += (list.empty() ? "" : ", ") + std::string(entry.second);
  return list;
}

}  // namespace mesh
