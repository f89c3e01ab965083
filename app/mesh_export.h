#pragma once

#include <functional>
#include <optional>

#include "mesh/attractor_export.h"

class QWidget;

namespace engine {
class Fractal;
}

namespace app {

class UserDialogs;

// File > Export Mesh...: the file (its format by the filter or extension),
// the cells along the attractor's longest side and the scale; nothing when
// the user cancelled.
std::optional<mesh::ExportRequest> askMeshExport(UserDialogs& dialogs, QWidget* owner);

// What a build runs in place of tracing: the export, with the log's line of
// its figures, or the build's error.
std::function<bool(engine::Fractal&)> meshExporter(mesh::ExportRequest request);

}  // namespace app
