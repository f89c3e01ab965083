#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/about_dialog.h"
#include "app/command_ids.h"
#include "app/custom_size_dialog.h"
#include "app/fractal_doc.h"
#include "app/main_frame.h"
#include "app/ui_translator.h"
#include "shell/ui_language_file.h"
#include "shell/version.h"
#include "test_support.h"

using namespace app;

namespace {

const char* const kLanguageFile =
    "# test translations\n"
    "MENU.FILE=&Файл\n"
    "MENU.EDIT=&Правка\n"
    "MENU.VIEW=&Вид\n"
    "MENU.BUILD=Пос&троение\n"
    "MENU.SAMPLES=П&римеры\n"
    "MENU.WINDOW=&Окно\n"
    "MENU.HELP=&Справка\n"
    "MENU.FILE_NEW=&Создать\n"
    "MENU.FILE_RECENT=недавний\n"
    "MENU.BUILD_IMAGE_SIZE=&Размер изображения\n"
    "MENU.BITMAPSIZE_VARIABLE=По размеру &окна\n"
    "MENU.BITMAPSIZE_100X100=сто на сто\n"
    "MENU.BUILD_FRACTAL=&Построить фрактал\n"
    "MENU.SAMPLES_FIRSTSAMPLE=&Первый пример\n"
    "ABOUTBOX.CAPTION=О программе Zentarel 3d\n"
    "SIZE_DIALOG.CAPTION=Свой размер\n"
    "SIZE_DIALOG.OK=Готово\n"
    "SIZE_DIALOG.EDIT2=&Ширина:\n"
    "SIZE_DIALOG.OUTPUTLOG_EDIT=&Высота:\n"
    "OK=ОК\n"
    "CANCEL=Отмена\n";

QStringList titlesOf(const QList<QMenu*>& menus) {
  QStringList titles;
  for (QMenu* menu : menus) titles << menu->title();
  return titles;
}

QStringList labelsOf(QDialog& dialog) {
  QStringList texts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->pixmap().isNull()) texts << label->text();
  }
  return texts;
}

QString buttonText(QDialog& dialog, QDialogButtonBox::StandardButton which) {
  return dialog.findChild<QDialogButtonBox*>()->button(which)->text();
}

}  // namespace

class TranslationTest : public test::MainWindowTest {
  Q_OBJECT

  test::FakeBackend backend_;
  QTemporaryDir languageDir_;
  QByteArray locale_;

  std::filesystem::path languageDirectory() const {
    return QFile::encodeName(languageDir_.path()).toStdString();
  }
  std::unique_ptr<UiTranslator> translatorForLocale(const char* locale) {
    qputenv("LC_ALL", locale);
    return UiTranslator::forSystem(languageDirectory());
  }

 private slots:
  void initTestCase() {
    QFile file(languageDir_.filePath(QString::fromUtf8(shell::kLanguageFileName)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kLanguageFile);
    locale_ = qgetenv("LC_ALL");
  }
  void init() {
    settings_ = temp_.open();
    frame_ = std::make_unique<CMainFrame>(*settings_, dialogs_, backend_);
  }
  void cleanup() {
    closeFrame();
    qputenv("LC_ALL", locale_);
  }

  void aRussianSystemTranslatesBothMenuBars() {
    const auto translator = translatorForLocale("ru_RU.UTF-8");
    QVERIFY(translator);
    QCOMPARE(UiTranslator::current(), translator.get());
    frame_->translateMenus(*translator);

    QCOMPARE(titlesOf(frame_->menuBarMenus(false)),
             QStringList({"&Файл", "&Вид", "П&римеры", "&Справка"}));
    frame_->newDocument();
    QCOMPARE(
        titlesOf(frame_->menuBarMenus(true)),
        QStringList({"&Файл", "&Правка", "&Вид", "Пос&троение", "П&римеры", "&Окно", "&Справка"}));
    QStringList shown;
    for (QAction* a : frame_->menuBar()->actions()) shown << a->text();
    QCOMPARE(shown, titlesOf(frame_->menuBarMenus(true)));

    QCOMPARE(frame_->action(command::FILE_NEW)->text(), QString("&Создать"));
    QCOMPARE(frame_->action(command::FILE_NEW)->shortcut(), QKeySequence("Ctrl+N"));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->text(), QString("&Построить фрактал"));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->shortcut(), QKeySequence("F7"));
    QCOMPARE(frame_->action(command::FILE_OPEN)->text(), QString("&Open..."));  // no translation
    QCOMPARE(frame_->action(command::HELP)->text(), QString("&Справка"));       // the title's key

    QMenu* imageSize = frame_->findChild<QMenu*>("BUILD_IMAGE_SIZE");
    QCOMPARE(imageSize->title(), QString("&Размер изображения"));
    QCOMPARE(frame_->action(command::BITMAPSIZE_VARIABLE)->text(), QString("По размеру &окна"));
    // Fixed sizes, recent files and the samples keep their texts.
    QCOMPARE(frame_->action(command::BITMAPSIZE_100X100)->text(), QString("&100 x 100"));
    QCOMPARE(frame_->action(command::FILE_RECENT)->text(), QString());
    QCOMPARE(frame_->action(command::SAMPLES_FIRSTSAMPLE)->text(), QString("First Sample"));
  }

  void theMainBarPairsItsOwnNamesByPosition() {
    const auto translator = translatorForLocale("ru_RU.UTF-8");
    translator->translateMenuBar(frame_->menuBarMenus(false), shell::kMainMenuNames);
    QCOMPARE(titlesOf(frame_->menuBarMenus(true)),
             QStringList({"&Файл", "&Edit", "&Вид", "&Build", "П&римеры", "&Window", "&Справка"}));
  }

  void aShortcutAfterATabIsKept() {
    const auto translator = translatorForLocale("ru_RU.UTF-8");
    QMenu menu("&Build");
    QAction* build = menu.addAction("&Build Fractal\tShift+F7");
    build->setData(command::BUILD_FRACTAL);
    QAction* untranslated = menu.addAction("&Stop Building\tShift+F7");
    untranslated->setData(command::BUILD_STOP);
    const std::string_view names[] = {"BUILD"};
    translator->translateMenuBar({&menu}, names);
    QCOMPARE(menu.title(), QString("Пос&троение"));
    QCOMPARE(build->text(), QString("&Построить фрактал\tShift+F7"));
    QCOMPARE(untranslated->text(), QString("&Stop Building\tShift+F7"));
  }

  void dialogsTranslateThemselvesWhenTheyOpen() {
    const auto translator = translatorForLocale("ru_RU.UTF-8");
    AboutDialog about(frame_.get());
    QCOMPARE(about.windowTitle(), QString("О программе Zentarel 3d"));
    QCOMPARE(buttonText(about, QDialogButtonBox::Ok), QString("ОК"));
    QVERIFY(labelsOf(about).contains("Zentarel 3d Version " ZENTAREL_VERSION));  // no key for it

    CustomSizeDialog size(QSize(320, 240), frame_.get());
    QCOMPARE(size.windowTitle(), QString("Свой размер"));
    QCOMPARE(buttonText(size, QDialogButtonBox::Ok), QString("Готово"));  // its own key first
    QCOMPARE(buttonText(size, QDialogButtonBox::Cancel), QString("Отмена"));
    QCOMPARE(labelsOf(size), QStringList({"&Ширина:", "&Высота:"}));
  }

  void otherSystemsKeepTheEnglishTexts() {
    QVERIFY(!translatorForLocale("de_DE.UTF-8"));
    QVERIFY(!UiTranslator::current());
    QCOMPARE(titlesOf(frame_->menuBarMenus(true)),
             QStringList({"&File", "&Edit", "&View", "&Build", "&Samples", "&Window", "&Help"}));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->text(), QString("&Build Fractal"));

    AboutDialog about(frame_.get());
    QCOMPARE(about.windowTitle(), QString("About Zentarel 3d"));
    CustomSizeDialog size(QSize(320, 240), frame_.get());
    QCOMPARE(size.windowTitle(), QString("Custom Size"));
    QCOMPARE(labelsOf(size), QStringList({"&Width:", "&Height:"}));
    QVERIFY(buttonText(size, QDialogButtonBox::Cancel) != "Отмена");
  }
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
