#pragma once

#include <memory>
#include <string>

#include "mesh_format.h"
#include "mesh_writer.h"
#include "shell/atomic_file.h"

namespace mesh {

// A mesh file written part by part in `format`: binary STL, binary PLY with
// the point colours, OBJ without a material file (these three streamed by
// our own writers), binary glTF 2 with the point colours and 3MF (through
// Assimp, which needs the whole mesh: those parts are gathered first). A
// file that was there before stays unchanged unless the mesh is written.
class MeshFile : public MeshWriter {
 public:
  MeshFile(MeshFormat format, const std::string& path);
  ~MeshFile() override;

  // Empty when the file can be written, else the system's reason.
  std::string open();
  void add(const MeshPiece& piece) override;
  // Writes the file: true when done, else error() says why.
  bool finish() override;
  const std::string& error() const { return error_; }

  // Whether a format's writer needs the whole mesh in memory.
  static bool gathers(MeshFormat format);

 private:
  bool exportGathered();

  MeshFormat format_;
  shell::AtomicFile file_;
  std::unique_ptr<MeshWriter> writer_;  // null: Assimp writes the gathered mesh
  SurfaceMesh gathered_;
  std::string error_;
};

}  // namespace mesh
