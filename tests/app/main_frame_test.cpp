#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTextBlock>
#include <iostream>

#include "app/custom_size_dialog.h"
#include "app/fractal_text_view.h"
#include "app/ui_translator.h"
#include "fsize_limit.h"
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

class MainFrameTest : public test::MainWindowTest {
  Q_OBJECT

  QStringList menus() const {
    QStringList names;
    for (QAction* a : frame_->menuBar()->actions()) names << a->menu()->objectName();
    return names;
  }

 private slots:
  void init() { openFrame(); }
  void cleanup() {
    if (frame_) closeFrame();
  }

  void menusAndTitleFollowTheDocuments() {
    QCOMPARE(frame_->windowTitle(), QString("Zentarel 3d v1.6.2"));
    QCOMPARE(menus(), QStringList({"FILE", "VIEW", "SAMPLES", "HELP"}));
    frame_->newDocument();  // the menus of a document: the translation test
    QCOMPARE(frame_->windowTitle(), "Zentarel 3d v1.6.2 - " + frame_->activeDocument()->title());
  }

  // A double click on an error line of the log moves the editor to that
  // line, if the script has it.
  void doubleClickedErrorLineMovesTheEditor() {
    frame_->newDocument()->text()->setPlainText("a;\nb;\nc;\nd;\ne;\nf;\ng;\nh;");
    LogEdit* log = frame_->logBar()->edit();
    std::cerr << "error: line 7:1: unexpected token: g" << std::endl;
    QVERIFY(test::waitFor([&] { return log->toPlainText().contains("line 7"); }));
    const QTextBlock line = log->document()->findBlock(log->toPlainText().indexOf("error: line 7"));
    QTest::mouseDClick(log->viewport(), Qt::LeftButton, {},
                       log->cursorRect(QTextCursor(line)).center() + QPoint(30, 0));
    auto* editor = qobject_cast<CFractal_TextView*>(
        frame_->findChild<QMdiArea*>()->currentSubWindow()->widget());
    QCOMPARE(editor->textCursor().blockNumber(), 6);
  }

  void filesOpenOnce() {
    const QString path = test::writeFile(files_.filePath("scene.ifs"), "build T;\r\n");
    CFractal_Doc* doc = frame_->openFile(path);
    QVERIFY(doc);
    QCOMPARE(doc->title(), QString("scene.ifs"));
    frame_->newDocument();
    QCOMPARE(frame_->openFile(path), doc);
    QCOMPARE(frame_->activeDocument(), doc);
    QVERIFY(!frame_->openFile(files_.filePath("missing.ifs")));
    QCOMPARE(dialogs_.messages.size(), 1);
  }

  void saveAsFillsTheRecentFileListAndClosingAModifiedDocumentAsks() {
    CFractal_Doc* doc = frame_->newDocument();
    doc->text()->setPlainText("build T;");
    dialogs_.fileName = files_.filePath("saved");
    trigger(command::FILE_SAVE_AS);
    QCOMPARE(doc->filePath(), files_.filePath("saved.ifs"));
    QCOMPARE(test::readFile(doc->filePath().toStdString()), "build T;");
    QCOMPARE(frame_->action(command::FILE_RECENT)->text(), QString("&1 saved.ifs"));

    doc->text()->setPlainText("changed");
    dialogs_.answers = {QMessageBox::Cancel, QMessageBox::No};
    QVERIFY(!frame_->closeDocument(doc));
    QCOMPARE(dialogs_.questions, QStringList{"Save changes to saved.ifs?"});
    QVERIFY(frame_->closeDocument(doc));
    QVERIFY(frame_->documents().isEmpty() && !frame_->activeDocument());
  }

  // A full disk (files limited to 4 KiB) while saving over an older script
  // and image: both stay as they were, the document stays modified and the
  // message says why.
  void aFailedSaveKeepsTheOldFilesAndTheModifiedMark() {
    QTemporaryDir dir;
    const QByteArray old(300, 'o');
    const QStringList names{"scene.ifs", "image.bmp"};
    for (const QString& name : names) test::writeFile(dir.filePath(name), old);
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    doc->text()->setPlainText(QString(100000, 'x'));
    {
      const shell::testing::FileSizeLimit limit(4096);
      for (const QString& name : names) {
        dialogs_.fileName = dir.filePath(name);
        trigger(name.endsWith(".ifs") ? command::FILE_SAVE_AS : command::FILE_SAVE_BITMAP_AS);
      }
    }
    for (const QString& name : names)
      QCOMPARE(test::readFile(dir.filePath(name).toStdString()), old.toStdString());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    QVERIFY(doc->isModified());
    QCOMPARE(dialogs_.messages.size(), 2);
    for (const QString& message : dialogs_.messages) {
      QVERIFY2(message.endsWith(": File too large"), qPrintable(message));
    }
  }

  // Menus and dialogs take their texts from the language file on a Russian
  // system; keys without a translation, fixed sizes and the samples keep the
  // English texts.
  void aRussianSystemTranslatesMenusAndDialogs() {
    closeFrame();
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

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
