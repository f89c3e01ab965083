#pragma once

#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <atomic>
#include <functional>
#include <memory>

#include "app/app_settings.h"
#include "app/build_backend.h"
#include "app/command_ids.h"
#include "app/detached_builds.h"
#include "app/fractal_doc.h"
#include "app/fractal_view.h"
#include "app/log_edit.h"
#include "app/main_frame.h"
#include "app/output_log_bar.h"
#include "app/user_dialogs.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "test_files.h"

namespace app::test {

using shell::testing::readFile;

// A build backend driven by words in the script, so builds of every outcome
// run in milliseconds:
//   "unscannable"  no scene (the type pre-scan fails)
//   "fail"         prints a script error and fails
//   "everything"   runs out of memory
//   "endless"      runs until canceled
//   "deaf"         ignores the stop until `release` is set
//   "save_frame"   saves two frames (the pre-scan finds that the script saves
//                  frames; "void" fails their render); then as below
//   anything else  draws a grey image of the requested size with depths
class FakeBackend : public BuildBackend {
 public:
  std::unique_ptr<engine::Fractal> createScene(engine::FrameBuffer& frameBuffer) override;
  bool run(engine::Fractal& scene) override;

  std::atomic<bool> release{false};
  std::atomic<int> runs{0};
};

// Answers the application's questions from a script and records them.
class ScriptedDialogs : public UserDialogs {
 public:
  void inform(QWidget*, QMessageBox::Icon, const QString& text) override { messages << text; }
  QMessageBox::StandardButton ask(QWidget*, const QString& text,
                                  QMessageBox::StandardButtons) override;
  QString openFileName(QWidget*, const QString&) override { return fileName; }
  QString saveFileName(QWidget* owner, const QString& suggested, const QString& filter,
                       QString*) override;
  std::optional<QSize> customSize(QWidget*, QSize) override { return std::nullopt; }
  std::optional<VideoCompression> videoCompression(QWidget* owner,
                                                   shell::VideoContainer container) override;

  QStringList messages;
  QStringList questions;
  QList<QMessageBox::StandardButton> answers;  // taken in order; No when empty
  std::function<void()> whileAsking;           // runs before a question or file name is answered
  QString fileName;
  QString chosenFilter;  // the file type chosen in a save dialog; empty: the first
  std::optional<VideoCompression> compressionAnswer;  // nothing: Cancel
  // "save <suggested name> <filter>" and "compression <extension>" as they were asked,
  // each with " by <owner's class>"; "!" marks one asked off the interface thread.
  QStringList asked;
};

// Settings in a fresh temporary INI file.
struct TempSettings {
  QTemporaryDir dir;
  QString path() const { return dir.filePath("settings.ini"); }
  std::unique_ptr<AppSettings> open() const { return std::make_unique<AppSettings>(path()); }
};

// The main window of a test, shown, with fresh settings, recorded dialogs
// and the fake backend; its documents close without a question.
class MainWindowTest : public QObject {
 protected:
  void openFrame(BuildBackend& backend, const std::filesystem::path& samplesFile = {});
  void openFrame() { openFrame(backend_); }
  void closeFrame();
  // A document holding `script`, unmodified.
  CFractal_Doc* newDocument(const QString& script);
  // Builds the document with the Build command; whether it ended with `status`.
  bool buildTo(CFractal_Doc* doc, const QString& status, int timeoutMs = 20000);
  // Starts the Build command; whether the document then built to its end.
  bool buildToEnd(CFractal_Doc* doc);
  void trigger(int command);
  // The text of the output log.
  QString log() const;

  FakeBackend backend_;
  TempSettings temp_;
  std::unique_ptr<AppSettings> settings_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<CMainFrame> frame_;
  QTemporaryDir files_;
};

// Runs the event loop until `done` or the time-out; the result of `done`.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000);

// Writes a file of these bytes; its path.
QString writeFile(const QString& path, const QByteArray& bytes);

}  // namespace app::test
