#include "help_file.h"

#include <QFileInfo>

namespace app {

QString helpFilePath(const QString& directory, bool russianSystem) {
  const QString russian = directory + "/Zentarel 3d.ru.html";
  if (russianSystem && QFileInfo::exists(russian)) return russian;
  return directory + "/Zentarel 3d.html";
}

QString helpFileMissingMessage(const QString& path) {
  return "Help file \"" + path + "\" not found!";
}

}  // namespace app
