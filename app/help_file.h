#pragma once

#include <QString>

namespace app {

// The help file beside the executable in `directory`: the Russian one on a
// Russian system when it exists, else the English one.
QString helpFilePath(const QString& directory, bool russianSystem);
// The message shown when the help file does not exist.
QString helpFileMissingMessage(const QString& path);

}  // namespace app
