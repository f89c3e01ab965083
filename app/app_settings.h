#pragma once

#include <QByteArray>
#include <QSettings>
#include <QSize>
#include <QStringList>
#include <memory>
#include <optional>

#include "window_placement.h"

namespace app {

// The Output Log bar's sizes: docked at the top or bottom, docked at a side,
// and floating.
struct BarSizes {
  QSize horizontal, vertical, floating;
  bool operator==(const BarSizes&) const = default;
};

// The application's persistent settings under the key "Zentarel 3d".
class AppSettings {
 public:
  static constexpr int kRecentFileCount = 8;

  // The user's settings.
  AppSettings();
  // Settings kept in the given INI file (tests).
  explicit AppSettings(const QString& iniFile);

  bool autoBuild() const;
  void setAutoBuild(bool on);
  // Documents shown as tabs of the work area rather than free windows.
  bool tabbedDocuments() const;
  void setTabbedDocuments(bool on);

  std::optional<WindowPlacement> windowPlacement() const;
  void setWindowPlacement(const WindowPlacement& placement);

  // The saved sizes, each defaulting to the current one and raised to the
  // bar's minimum size.
  BarSizes barSizes(const BarSizes& current, QSize minimum) const;
  void setBarSizes(const BarSizes& sizes);
  // Docking places and visibility of the bars.
  QByteArray barState() const;
  void setBarState(const QByteArray& state);

  QStringList recentFiles() const;
  void setRecentFiles(const QStringList& files);

  void sync() { settings_->sync(); }

 private:
  std::unique_ptr<QSettings> settings_;
};

// The recent-file list after opening `path`: it moves to the front, at most
// eight entries stay.
QStringList withRecentFile(QStringList files, const QString& path);

}  // namespace app
