#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "app/about_dialog.h"
#include "app/custom_size_dialog.h"
#include "app/ui_translator.h"
#include "shell/ui_language_file.h"
#include "test_support.h"

using namespace app;

namespace {

QStringList titlesOf(const QList<QMenu*>& menus) {
  QStringList titles;
  for (QMenu* menu : menus) titles << menu->title();
  return titles;
}

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
// system; keys without a translation keep the English texts.
class TranslationTest : public test::MainWindowTest {
  Q_OBJECT

  QByteArray locale_ = qgetenv("LC_ALL");

  std::unique_ptr<UiTranslator> translatorForLocale(const char* locale) {
    qputenv("LC_ALL", locale);
    return UiTranslator::forSystem(QFile::encodeName(files_.path()).toStdString());
  }

 private slots:
  void initTestCase() {
    test::writeFile(
        files_.filePath(QString::fromUtf8(shell::kLanguageFileName)),
        "MENU.FILE=&Файл\nMENU.VIEW=&Вид\nMENU.BUILD=Пос&троение\nMENU.SAMPLES=П&римеры\n"
        "MENU.HELP=&Справка\nMENU.FILE_NEW=&Создать\n"
        "MENU.BUILD_IMAGE_SIZE=&Размер изображения\n"
        "MENU.BUILD_FRACTAL=&Построить фрактал\nMENU.SAMPLES_FIRSTSAMPLE=&Первый\n"
        "ABOUTBOX.CAPTION=О программе Zentarel 3d\nSIZE_DIALOG.CAPTION=Свой размер\n"
        "SIZE_DIALOG.OK=Готово\nSIZE_DIALOG.EDIT2=&Ширина:\nOK=ОК\nCANCEL=Отмена\n");
  }
  void init() {
    settings_ = temp_.open();
    frame_ = std::make_unique<CMainFrame>(*settings_, dialogs_, backend_);
  }
  void cleanup() {
    closeFrame();
    qputenv("LC_ALL", locale_);
  }

  void aRussianSystemTranslatesMenusAndDialogs() {
    const auto translator = translatorForLocale("ru_RU.UTF-8");
    QVERIFY(translator);
    QCOMPARE(UiTranslator::current(), translator.get());
    frame_->translateMenus(*translator);
    QCOMPARE(titlesOf(frame_->menuBarMenus(false)),
             QStringList({"&Файл", "&Вид", "П&римеры", "&Справка"}));
    frame_->newDocument();
    QStringList shown;
    for (QAction* a : frame_->menuBar()->actions()) shown << a->text();
    QCOMPARE(shown, QStringList({"&Файл", "&Edit", "&Вид", "Пос&троение", "П&римеры", "&Window",
                                 "&Справка"}));
    QCOMPARE(frame_->findChild<QMenu*>("BUILD_IMAGE_SIZE")->title(),
             QString("&Размер изображения"));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->text(), QString("&Построить фрактал"));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->shortcut(), QKeySequence("F7"));
    QCOMPARE(frame_->action(command::FILE_OPEN)->text(), QString("&Open..."));  // no translation
    QCOMPARE(frame_->action(command::HELP)->text(), QString("&Справка"));       // the title's key
    // The samples keep their texts.
    QCOMPARE(frame_->action(command::SAMPLES_FIRSTSAMPLE)->text(), QString("First Sample"));

    QStringList about = textsOf(AboutDialog(frame_.get()));
    QVERIFY(about.contains("Zentarel 3d Version 1.6.2"));  // no key for it
    QCOMPARE(about.first() + about.last(), QString("О программе Zentarel 3dОК"));
    // A dialog's own key first, then the item alone.
    QCOMPARE(textsOf(CustomSizeDialog(QSize(320, 240), frame_.get())),
             QStringList({"Свой размер", "&Ширина:", "&Height:", "Готово", "Отмена"}));
  }

  void otherSystemsKeepTheEnglishTexts() {
    QVERIFY(!translatorForLocale("de_DE.UTF-8"));
    QVERIFY(!UiTranslator::current());
    QCOMPARE(textsOf(CustomSizeDialog(QSize(320, 240), frame_.get())).first(),
             QString("Custom Size"));
  }
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
