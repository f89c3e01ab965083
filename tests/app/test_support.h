#pragma once

#include <QDir>
#include <QList>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <memory>

#include "app/app_settings.h"
#include "app/build_backend.h"
#include "app/user_dialogs.h"

namespace app::test {

// A build backend driven by words in the script, so builds of every outcome
// run in milliseconds:
//   "unscannable"  no scene (the type pre-scan fails)
//   "fail"         prints a script error and fails
//   "endless"      runs until canceled
//   "deaf"         ignores the stop until `release` is set
//   "camera"       rewrites the script text and announces it
//   anything else  draws a grey image of the requested size with depths
class FakeBackend : public BuildBackend {
 public:
  std::unique_ptr<engine::Fractal> createScene(engine::FrameBuffer& frameBuffer) override;
  bool run(engine::Fractal& scene) override;

  std::atomic<bool> release{false};
  std::atomic<int> runs{0};
  std::atomic<bool> sawZoom{false};  // the last run was asked to zoom
};

// Answers the application's questions from a script and records them.
class ScriptedDialogs : public UserDialogs {
 public:
  void inform(QWidget*, QMessageBox::Icon, const QString& text) override { messages << text; }
  QMessageBox::StandardButton ask(QWidget*, const QString& text,
                                  QMessageBox::StandardButtons) override;
  QString openFileName(QWidget*, const QString&) override { return fileName; }
  QString saveFileName(QWidget*, const QString&, const QString&, QString*) override {
    return fileName;
  }
  std::optional<QSize> customSize(QWidget*, QSize) override { return customSizeAnswer; }

  QStringList messages;
  QStringList questions;
  QList<QMessageBox::StandardButton> answers;  // taken in order; No when empty
  std::function<void()> whileAsking;           // runs before a question is answered
  QString fileName;
  std::optional<QSize> customSizeAnswer;
};

// Settings in a fresh temporary INI file.
struct TempSettings {
  QTemporaryDir dir;
  QString path() const { return dir.filePath("settings.ini"); }
  std::unique_ptr<AppSettings> open() const { return std::make_unique<AppSettings>(path()); }
};

// Runs the event loop until `done` or the time-out; the result of `done`.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000);

}  // namespace app::test
