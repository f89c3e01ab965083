#include <QDesktopServices>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTextBlock>
#include <iostream>

#include "app/fractal_text_view.h"
#include "app/window_placement.h"
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

  QStringList menus() const {
    QStringList names;
    for (QAction* a : frame_->menuBar()->actions()) names << a->menu()->objectName();
    return names;
  }

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void menusAndTitleFollowTheDocuments() {
    QCOMPARE(frame_->windowTitle(), QString("Zentarel 3d v1.6.2"));
    QCOMPARE(menus(), QStringList({"FILE", "VIEW", "SAMPLES", "HELP"}));
    frame_->newDocument();
    QCOMPARE(menus(), QStringList({"FILE", "EDIT", "VIEW", "BUILD", "SAMPLES", "WINDOW", "HELP"}));
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
    frame_->goToLine(9);  // past the last line
    QCOMPARE(editor->textCursor().blockNumber(), 6);
  }

  void filesOpenOnceByCommandOrDrop() {
    const QString path = test::writeFile(files_.filePath("scene.ifs"), "build T;\r\n");
    CFractal_Doc* doc = frame_->openFile(path);
    QVERIFY(doc);
    QCOMPARE(doc->title(), QString("scene.ifs"));
    frame_->newDocument();
    QCOMPARE(frame_->openFile(path), doc);
    QCOMPARE(frame_->activeDocument(), doc);
    QVERIFY(!frame_->openFile(files_.filePath("missing.ifs")));
    QCOMPARE(dialogs_.messages.size(), 1);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(test::writeFile(files_.filePath("dropped.ifs"), "x")),
                  QUrl::fromLocalFile(test::writeFile(files_.filePath("notes.txt"), "x"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(frame_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(frame_.get(), &drop);
    QCOMPARE(frame_->documents().size(), 3);
    QCOMPARE(frame_->activeDocument()->title(), QString("dropped.ifs"));
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

  void helpOpensTheFileBesideTheProgramOrSaysItIsMissing() {
    const QString help = QCoreApplication::applicationDirPath() + "/Zentarel 3d.html";
    const QString away = help + ".away";
    QFile::remove(away);
    QVERIFY(!QFile::exists(help) || QFile::rename(help, away));
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    trigger(command::HELP);
    QCOMPARE(dialogs_.messages, QStringList{"Help file \"" + help + "\" not found!"});
    test::writeFile(help, "");
    trigger(command::HELP);
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(dialogs_.messages.size(), 1);
    QCOMPARE(opened.urls, QList<QUrl>(2, QUrl::fromLocalFile(help)));
    QFile::remove(help);
    if (QFile::exists(away)) QFile::rename(away, help);
  }

  // Settings keep their INI sections and names; recent files move to the
  // front and stop at eight. The window comes back where it was, with its log
  // bar and auto-build; a maximised one comes back maximised over its normal
  // rectangle; a placement needs all six values, the flags unsigned.
  void settingsComeBackInTheNextSession() {
    test::TempSettings temp;
    {
      auto settings = temp.open();
      QStringList files;
      for (int i = 0; i < 10; ++i) files = withRecentFile(files, QString("/f%1.ifs").arg(i));
      settings->setRecentFiles(withRecentFile(files, "/f5.ifs"));
      CMainFrame frame(*settings, dialogs_, backend_);
      frame.setGeometry(40, 50, 700, 500);
      frame.show();
      QVERIFY(QTest::qWaitForWindowExposed(&frame));
      frame.action(command::BUILD_AUTOBUILD)->trigger();
      frame.action(command::VIEW_TOOGLE_OUTPUTLOG)->trigger();
      QVERIFY(frame.close());
    }
    QSettings raw(temp.path(), QSettings::IniFormat);
    QCOMPARE(raw.value("Settings/AutoBuild").toInt(), 0);
    QCOMPARE(raw.value("Recent File List/File2").toString(), QString("/f9.ifs"));
    auto settings = temp.open();
    QCOMPARE(settings->recentFiles().size(), 8);
    QCOMPARE(settings->recentFiles().mid(0, 3), QStringList({"/f5.ifs", "/f9.ifs", "/f8.ifs"}));
    {
      CMainFrame frame(*settings, dialogs_, backend_);
      QVERIFY(!frame.autoBuild() && !frame.action(command::BUILD_AUTOBUILD)->isChecked());
      QCOMPARE(frame.geometry(), QRect(40, 50, 700, 500));
      frame.show();
      QVERIFY(frame.logBar()->isHidden());
    }
    for (const char* text : {"0,1,2,3,4", "0,1,2,3,4,x", "-1,1,2,3,4,5"}) {
      QVERIFY2(!WindowPlacement::parse(text), text);
    }
    settings->setWindowPlacement(*WindowPlacement::parse("2,3,10,20,610,420"));
    CMainFrame frame(*settings, dialogs_, backend_);
    QVERIFY(frame.windowState() & Qt::WindowMaximized);
    frame.showNormal();
    QCOMPARE(frame.geometry(), QRect(10, 20, 600, 400));
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
