#include "mesh_export.h"

#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <iostream>

#include "engine/fractal.h"
#include "mesh/mesh_format.h"
#include "shell/platform.h"
#include "user_dialogs.h"

namespace app {

std::optional<mesh::ExportRequest> askMeshExport(UserDialogs& dialogs, QWidget* owner) {
  const QStringList filters = {"STL Files (*.stl)", "PLY Files with Colours (*.ply)",
                               "OBJ Files (*.obj)", "glTF Binary Files (*.glb)",
                               "3MF Files (*.3mf)"};
  QString chosen = filters.front();
  QString path = dialogs.saveFileName(owner, {}, filters.join(";;"), &chosen);
  if (path.isEmpty()) return std::nullopt;
  if (QFileInfo(path).suffix().isEmpty()) path += "." + chosen.section("*.", 1).chopped(1);
  mesh::ExportRequest request;
  request.meshFile = QFile::encodeName(path).toStdString();
  if (!mesh::meshFormatOf(request.meshFile)) {
    request.meshFile += ".stl";
  }
  bool ok = false;
  request.voxels = QInputDialog::getInt(
      owner, "Export Mesh", "Cells along the longest side:", request.voxels, 8, 16384, 64, &ok);
  if (!ok) return std::nullopt;
  request.meshScale = QInputDialog::getDouble(
      owner, "Export Mesh", "Scale of the coordinates:", request.meshScale, 1e-6, 1e6, 6, &ok);
  if (!ok) return std::nullopt;
  return request;
}

std::function<bool(engine::Fractal&)> meshExporter(mesh::ExportRequest request) {
  return [request](engine::Fractal& scene) mutable {
    request.workers = scene.threadCount;
    request.memoryBudget = shell::physicalMemory().available;
    const mesh::ExportResult result = mesh::exportAttractor(scene, request);
    if (!result.unwritableFile.empty())
      return scene.fail(
          ("Cannot write \"" + result.unwritableFile + "\": " + result.error).c_str());
    if (!result.error.empty()) return scene.fail(result.error.c_str());
    if (!scene.canceled)
      std::cout << "exported: " << request.meshFile << ": " << result.cells << " cells, "
                << result.triangles << " triangles" << std::endl;
    return !scene.canceled;
  };
}

}  // namespace app
