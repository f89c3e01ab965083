#include <QApplication>

#include "app_settings.h"
#include "detached_builds.h"
#include "lang_build_backend.h"
#include "main_frame.h"
#include "shell/program_paths.h"
#include "ui_translator.h"
#include "user_dialogs.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Zentarel 3d");
  QApplication::setApplicationVersion("1.6.2");
  // Lets the desktop match the windows to the installed desktop entry and icon.
  QGuiApplication::setDesktopFileName("org.example.zentarel3d");

  app::AppSettings settings;
  app::StandardDialogs dialogs;
  app::LangBuildBackend backend;
  const std::unique_ptr<app::UiTranslator> translator =
      app::UiTranslator::forSystem(shell::runtimeFilePath(shell::kLanguageFileName).parent_path());
  int result = 0;
  {
    app::CMainFrame frame(settings, dialogs, backend, shell::samplesFilePath());
    if (translator) frame.translateMenus(*translator);
    // The desktop entry passes every file chosen (%F).
    const QStringList files = QApplication::arguments().mid(1);
    if (files.isEmpty()) frame.loadFirstSample();
    for (const QString& file : files) frame.openFile(file);
    frame.show();
    result = QApplication::exec();
  }
  app::detached_builds::waitForAll();
  return result;
}
