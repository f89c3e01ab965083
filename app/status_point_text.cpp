#include "status_point_text.h"

#include <QStringList>

namespace app {

QString statusPointText(const QString& point) {
  if (!point.startsWith('(') || !point.endsWith(')')) return point;
  const QStringList parts = point.mid(1, point.size() - 2).split(',');
  if (parts.size() != 3) return point;
  QString text;
  const char* const names[] = {"x", "y", "z"};
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    const double value = parts[i].trimmed().toDouble(&ok);
    if (!ok) return point;
    if (i > 0) text += "  ";
    text += QString("%1 %2").arg(names[i]).arg(value, 0, 'f', 3);
  }
  return text;
}

}  // namespace app
