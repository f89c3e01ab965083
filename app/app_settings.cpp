#include "app_settings.h"

#include "output_log_bar.h"

namespace app {

namespace {

const QString kBarSection = QString("BarState-SCBar-%1").arg(OutputLogBar::kControlId);

QString recentKey(int i) {
  return QString("Recent File List/File%1").arg(i + 1);
}

}  // namespace

AppSettings::AppSettings() : settings_(std::make_unique<QSettings>("Zentarel 3d")) {}

AppSettings::AppSettings(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

bool AppSettings::autoBuild() const {
  return settings_->value("Settings/AutoBuild", 1).toInt() != 0;
}

void AppSettings::setAutoBuild(bool on) {
  settings_->setValue("Settings/AutoBuild", on ? 1 : 0);
}

bool AppSettings::tabbedDocuments() const {
  return settings_->value("Settings/TabbedDocuments", 0).toInt() != 0;
}

void AppSettings::setTabbedDocuments(bool on) {
  settings_->setValue("Settings/TabbedDocuments", on ? 1 : 0);
}

std::optional<WindowPlacement> AppSettings::windowPlacement() const {
  return WindowPlacement::parse(settings_->value("WindowPlacement/Main Window").toString());
}

void AppSettings::setWindowPlacement(const WindowPlacement& placement) {
  settings_->setValue("WindowPlacement/Main Window", placement.toString());
}

BarSizes AppSettings::barSizes(const BarSizes& current, QSize minimum) const {
  const auto read = [&](const char* name, QSize size) {
    const QString key = kBarSection + "/size" + name;
    const int cx = settings_->value(key + "CX", size.width()).toInt();
    const int cy = settings_->value(key + "CY", size.height()).toInt();
    return QSize(std::max(cx, minimum.width()), std::max(cy, minimum.height()));
  };
  return {read("Horz", current.horizontal), read("Vert", current.vertical),
          read("Float", current.floating)};
}

void AppSettings::setBarSizes(const BarSizes& sizes) {
  const auto write = [&](const char* name, QSize size) {
    const QString key = kBarSection + "/size" + name;
    settings_->setValue(key + "CX", size.width());
    settings_->setValue(key + "CY", size.height());
  };
  write("Horz", sizes.horizontal);
  write("Vert", sizes.vertical);
  write("Float", sizes.floating);
}

QByteArray AppSettings::barState() const {
  return settings_->value("BarState/State").toByteArray();
}

void AppSettings::setBarState(const QByteArray& state) {
  settings_->setValue("BarState/State", state);
}

QStringList AppSettings::recentFiles() const {
  QStringList files;
  for (int i = 0; i < kRecentFileCount; ++i) {
    const QString file = settings_->value(recentKey(i)).toString();
    if (!file.isEmpty()) files << file;
  }
  return files;
}

void AppSettings::setRecentFiles(const QStringList& files) {
  for (int i = 0; i < kRecentFileCount; ++i) {
    if (i < files.size()) {
      settings_->setValue(recentKey(i), files[i]);
    } else {
      settings_->remove(recentKey(i));
    }
  }
}

QStringList withRecentFile(QStringList files, const QString& path) {
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > AppSettings::kRecentFileCount) files.removeLast();
  return files;
}

}  // namespace app
