#include <QDesktopServices>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <iostream>

#include "app/command_ids.h"
#include "app/fractal_doc.h"
#include "app/fractal_text_view.h"
#include "app/log_edit.h"
#include "app/main_frame.h"
#include "app/output_log_bar.h"
#include "shell/version.h"
#include "test_support.h"

using namespace app;

// Catches the desktop's "open" of local files.
class OpenedUrls : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

class MainFrameTest : public test::MainWindowTest {
  Q_OBJECT

  test::FakeBackend backend_;
  QTemporaryDir files_;

  QStringList commandsOf(const QList<QAction*>& actions) const {
    QStringList ids;
    for (QAction* a : actions) {
      ids << (a->isSeparator() ? QString("-")
              : a->menu()      ? a->menu()->objectName()
                               : a->data().toString());
    }
    return ids;
  }
  QString writeScript(const QString& name, const QByteArray& text) {
    QFile file(files_.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return file.fileName();
  }

 private slots:
  void init() { openFrame(backend_); }
  void cleanup() { closeFrame(); }

  void titleMenusAndToolbar() {
    QCOMPARE(frame_->windowTitle(), QString("Zentarel 3d v" ZENTAREL_VERSION));
    QStringList menus;
    for (QAction* a : frame_->menuBar()->actions()) menus << a->menu()->objectName();
    QCOMPARE(menus, QStringList({"FILE", "VIEW", "SAMPLES", "HELP"}));

    frame_->newDocument();
    menus.clear();
    for (QAction* a : frame_->menuBar()->actions()) menus << a->menu()->objectName();
    QCOMPARE(menus, QStringList({"FILE", "EDIT", "VIEW", "BUILD", "SAMPLES", "WINDOW", "HELP"}));
    QCOMPARE(frame_->windowTitle(),
             "Zentarel 3d v" ZENTAREL_VERSION " - " + frame_->activeDocument()->title());

    auto* toolBar = frame_->findChild<QToolBar*>();
    QCOMPARE(commandsOf(toolBar->actions()),
             QStringList({"57600", "57601", "57603", "32812", "-", "32814", "-", "32807", "32808",
                          "-", "32800", "32806", "-", "57664"}));
    QMenu* build = frame_->findChild<QMenu*>("BUILD");
    QCOMPARE(commandsOf(build->actions()), QStringList({"BUILD_IMAGE_SIZE", "-", "32800", "32806",
                                                        "32826", "-", "32807", "32808"}));
    QCOMPARE(frame_->action(command::BUILD_FRACTAL)->shortcut(), QKeySequence("F7"));
    QCOMPARE(frame_->action(command::BUILD_STOP)->shortcuts().size(), 2);
    QCOMPARE(frame_->action(command::VIEW_CLEAR_OUTPUTLOG)->text(), QString("C&lear Otput Log"));
    QCOMPARE(frame_->logBar()->windowTitle(), QString("Log"));
  }

  void doubleClickedErrorLineMovesTheEditor() {
    CFractal_Doc* doc = frame_->newDocument();
    doc->text()->setPlainText("a;\nb;\nc;\nd;\ne;\nf;\ng;\nh;");
    LogEdit* log = frame_->logBar()->edit();
    std::cerr << "error: line 7:1: unexpected token: g" << std::endl;
    QVERIFY(test::waitFor([&] { return log->toPlainText().contains("line 7"); }));
    const QTextBlock line = log->document()->findBlock(log->toPlainText().indexOf("error: line 7"));
    QTest::mouseDClick(log->viewport(), Qt::LeftButton, {},
                       log->cursorRect(QTextCursor(line)).center() + QPoint(30, 0));
    auto* editor = qobject_cast<CFractal_TextView*>(
        frame_->findChild<QMdiArea*>()->currentSubWindow()->widget());
    QCOMPARE(editor->textCursor().blockNumber(), 6);

    frame_->goToLine(0);
    frame_->goToLine(9);  // past the last line
    QCOMPARE(editor->textCursor().blockNumber(), 6);
    frame_->goToLine(8);
    QCOMPARE(editor->textCursor().blockNumber(), 7);
  }

  void openingAFileTwiceActivatesItsDocument() {
    const QString path = writeScript("scene.ifs", "build T;\r\n");
    CFractal_Doc* doc = frame_->openFile(path);
    QVERIFY(doc);
    QCOMPARE(doc->title(), QString("scene.ifs"));
    frame_->newDocument();
    QCOMPARE(frame_->openFile(path), doc);
    QCOMPARE(frame_->activeDocument(), doc);
    QCOMPARE(frame_->documents().size(), 2);
    QVERIFY(!frame_->openFile(files_.filePath("missing.ifs")));
    QCOMPARE(dialogs_.messages.size(), 1);
  }

  void droppedScriptsOpen() {
    const QString path = writeScript("dropped.ifs", "build T;\r\n");
    writeScript("notes.txt", "not a script");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(files_.filePath("notes.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(frame_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(frame_.get(), &drop);
    QCOMPARE(frame_->documents().size(), 1);
    QCOMPARE(frame_->documents().first()->title(), QString("dropped.ifs"));
  }

  void saveAsAndTheRecentFileList() {
    CFractal_Doc* doc = frame_->newDocument();
    doc->text()->setPlainText("build T;");
    dialogs_.fileName = files_.filePath("saved");
    frame_->action(command::FILE_SAVE_AS)->trigger();
    QCOMPARE(doc->filePath(), files_.filePath("saved.ifs"));
    QFile saved(doc->filePath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("build T;"));
    QAction* recent = frame_->action(command::FILE_RECENT);
    QVERIFY(recent->isVisible());
    QCOMPARE(recent->text(), QString("&1 saved.ifs"));
  }

  void closingAModifiedDocumentAsks() {
    CFractal_Doc* doc = frame_->newDocument();
    doc->text()->setPlainText("changed");
    dialogs_.answers = {QMessageBox::Cancel};
    QVERIFY(!frame_->closeDocument(doc));
    QCOMPARE(dialogs_.questions, QStringList{"Save changes to " + doc->title() + "?"});
    dialogs_.answers = {QMessageBox::No};
    QVERIFY(frame_->closeDocument(doc));
    QVERIFY(frame_->documents().isEmpty());
    QVERIFY(!frame_->activeDocument());
  }

  void helpOpensTheFileBesideTheProgramOrSaysItIsMissing() {
    const QString help = QCoreApplication::applicationDirPath() + "/Zentarel 3d.html";
    const QString away = help + ".away";
    QFile::remove(away);
    QVERIFY(!QFile::exists(help) || QFile::rename(help, away));
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    frame_->action(command::HELP)->trigger();
    QCOMPARE(dialogs_.messages, QStringList{"Help file \"" + help + "\" not found!"});
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(help)});

    QFile file(help);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    frame_->action(command::HELP)->trigger();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(dialogs_.messages.size(), 1);
    QCOMPARE(opened.urls.size(), 2);
    QFile::remove(help);
    if (QFile::exists(away)) QFile::rename(away, help);
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
