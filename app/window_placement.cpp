#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>

namespace app {

QString WindowPlacement::toString() const {
  return QString::asprintf("%u,%u,%d,%d,%d,%d", flags, showState, left, top, right, bottom);
}

std::optional<WindowPlacement> WindowPlacement::parse(const QString& text) {
  const QStringList parts = text.split(',');
  if (parts.size() != 6) return std::nullopt;
  bool ok[6];
  WindowPlacement p;
  p.flags = parts[0].trimmed().toUInt(&ok[0]);
  p.showState = parts[1].trimmed().toUInt(&ok[1]);
  p.left = parts[2].trimmed().toInt(&ok[2]);
  p.top = parts[3].trimmed().toInt(&ok[3]);
  p.right = parts[4].trimmed().toInt(&ok[4]);
  p.bottom = parts[5].trimmed().toInt(&ok[5]);
  for (bool b : ok) {
    if (!b) return std::nullopt;
  }
  return p;
}

QRect fittedInside(const QRect& window, const QRect& area) {
  const QSize size = window.size().boundedTo(area.size());
  const int left =
      std::clamp(window.left(), area.left(), area.left() + area.width() - size.width());
  const int top = std::clamp(window.top(), area.top(), area.top() + area.height() - size.height());
  return {QPoint(left, top), size};
}

QRect fittedOnScreen(const QRect& window) {
  const QScreen* screen = QGuiApplication::screenAt(window.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? fittedInside(window, screen->availableGeometry()) : window;
}

}  // namespace app
