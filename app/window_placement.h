#pragma once

#include <QRect>
#include <QString>
#include <optional>

namespace app {

// The main window's placement as kept in the settings:
// "flags,show state,left,top,right,bottom" of its normal (not maximised)
// position, right and bottom exclusive.
struct WindowPlacement {
  static constexpr unsigned kRestoreToMaximized = 2;
  static constexpr unsigned kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3;

  unsigned flags = 0;
  unsigned showState = kShowNormal;
  int left = 0, top = 0, right = 0, bottom = 0;

  QRect normalRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
  QString toString() const;
  // Nothing unless all six values parse.
  static std::optional<WindowPlacement> parse(const QString& text);
};

// `window` moved and, when it is larger, shrunk to lie inside `area`.
QRect fittedInside(const QRect& window, const QRect& area);
// `window` fitted into the free area of the screen it lies on (the primary
// screen when it lies on none).
QRect fittedOnScreen(const QRect& window);

}  // namespace app
