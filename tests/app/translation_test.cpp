#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "app/custom_size_dialog.h"
#include "app/ui_translator.h"
#include "shell/ui_language_file.h"
#include "test_support.h"

using namespace app;

namespace {

// The caption, the texts of the labels and of the Ok and Cancel buttons.
QStringList textsOf(QDialog&& dialog) {
  QStringList texts{dialog.windowTitle()};
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->pixmap().isNull()) texts << label->text();
  }
  for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons()) {
    texts << button->text();
  }
  return texts;
}

}  // namespace

// Menus and dialogs take their texts from the language file on a Russian
// system; keys without a translation, fixed sizes and the samples keep the
// English texts.
class TranslationTest : public test::MainWindowTest {
  Q_OBJECT

 private slots:
  void aRussianSystemTranslatesMenusAndDialogs() {
    test::writeFile(
        files_.filePath(QString::fromUtf8(shell::kLanguageFileName)),
        "MENU.FILE=&Файл\nMENU.VIEW=&Вид\nMENU.BUILD=Пос&троение\nMENU.SAMPLES=П&римеры\n"
        "MENU.HELP=&Справка\nMENU.FILE_NEW=&Создать\nMENU.BITMAPSIZE_320X240=320 на 240\n"
        "MENU.BUILD_FRACTAL=&Построить фрактал\nMENU.SAMPLES_FIRSTSAMPLE=&Первый\n"
        "MENU.VIEW_TABBED_DOCUMENTS=&Вкладки\n"
        "SIZE_DIALOG.CAPTION=Свой размер\nSIZE_DIALOG.OK=Готово\nSIZE_DIALOG.EDIT2=&Ширина:\n"
        "OK=ОК\nCANCEL=Отмена\n");
    const QByteArray locale = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    const auto translator = UiTranslator::forSystem(QFile::encodeName(files_.path()).toStdString());
    qputenv("LC_ALL", locale);
    QVERIFY(translator);
    QCOMPARE(UiTranslator::current(), translator.get());
    settings_ = temp_.open();
    frame_ = std::make_unique<CMainFrame>(*settings_, dialogs_, backend_);
    frame_->translateMenus(*translator);
    frame_->newDocument();
    QStringList shown;
    for (QAction* a : frame_->menuBar()->actions()) shown << a->text();
    QCOMPARE(shown, QStringList({"&Файл", "&Edit", "&Вид", "Пос&троение", "П&римеры", "&Window",
                                 "&Справка"}));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->text(), QString("&Построить фрактал"));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->shortcut(), QKeySequence("F7"));
    QCOMPARE(frame_->action(command::VIEW_TABBED_DOCUMENTS)->text(), QString("&Вкладки"));
    QCOMPARE(frame_->action(command::FILE_OPEN)->text(), QString("&Open..."));  // no translation
    QCOMPARE(frame_->action(command::HELP)->text(), QString("&Справка"));       // the title's key
    QCOMPARE(frame_->action(command::BITMAPSIZE_320X240)->text(), QString("&320 x 240"));
    QCOMPARE(frame_->action(command::SAMPLES_FIRSTSAMPLE)->text(), QString("First Sample"));

    // A dialog's own key first, then the item alone.
    QCOMPARE(textsOf(CustomSizeDialog(QSize(320, 240), frame_.get())),
             QStringList({"Свой размер", "&Ширина:", "&Height:", "Готово", "Отмена"}));
    closeFrame();
  }
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
