#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTextBlock>
#include <iostream>

#include "app/fractal_text_view.h"
#include "test_support.h"

using namespace app;

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
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
