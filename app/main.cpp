#include <QApplication>

#include "app_settings.h"
#include "detached_builds.h"
#include "lang_build_backend.h"
#include "main_frame.h"
#include "shell/program_paths.h"
#include "shell/version.h"
#include "ui_translator.h"
#include "user_dialogs.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Zentarel 3d");
  QApplication::setApplicationVersion(ZENTAREL_VERSION);

  const std::filesystem::path programDirectory = shell::executableDirectory();
  app::AppSettings settings;
  app::StandardDialogs dialogs;
  app::LangBuildBackend backend;
  const std::unique_ptr<app::UiTranslator> translator =
      app::UiTranslator::forSystem(programDirectory);
  int result = 0;
  {
    app::CMainFrame frame(settings, dialogs, backend, programDirectory / shell::kSamplesFileName);
    if (translator) frame.translateMenus(*translator);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
      frame.openFile(arguments[1]);
    } else {
      frame.loadFirstSample();
    }
    frame.show();
    result = QApplication::exec();
  }
  app::detached_builds::waitForAll();
  return result;
}
