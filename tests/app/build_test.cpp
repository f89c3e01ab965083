#include <QFileInfo>

#include "test_support.h"

using namespace app;

// Builds through the main window's commands, with the fake backend.
class BuildTest : public test::MainWindowTest {
  Q_OBJECT

  CFractal_Doc* startDeafBuild() {
    CFractal_Doc* doc = newDocument("deaf");
    trigger(command::BUILD_FRACTAL);
    return doc;
  }
  bool interrupted(CFractal_Doc* doc) {
    return test::waitFor([&] { return !doc->isBuilding() && log().contains("\ninterrupted: "); }) &&
           doc->statusText() == "Interrupted";
  }

 private slots:
  void init() {
    backend_.release = false;
    backend_.runs = 0;
    openFrame();
  }
  void cleanup() {
    backend_.release = true;
    dialogs_.answers = {QMessageBox::Yes};
    closeFrame();
    detached_builds::waitForAll();
  }

  // A script that cannot be scanned starts no build.
  void buildsEndReadyWithAnImageOrWithAnError() {
    CFractal_Doc* doc = newDocument("set T = scale(0.5) T;");
    QVERIFY(buildTo(doc, "Ready"));
    QCOMPARE(doc->displayImage().size(), QSize(320, 240));
    QCOMPARE(frame_->statusBar()->currentMessage(), QString("Ready"));
    CFractal_Doc* failing = newDocument("fail");
    QVERIFY(buildTo(failing, "Error") && !failing->imageView());
    QVERIFY(log().contains("error: line 2:1: unexpected token: fail\nfinished: "));
    // Out of memory: an error in the log, and the application builds on.
    failing->text()->setPlainText("everything");
    QVERIFY(buildToEnd(failing));
    QVERIFY(test::waitFor([&] { return log().contains("Not enough memory\nfinished: "); }));
    failing->text()->setPlainText("grey");
    QVERIFY(buildTo(failing, "Ready"));
    CFractal_Doc* unscannable = newDocument("unscannable");
    trigger(command::BUILD_FRACTAL);
    QVERIFY(!unscannable->isBuilding());
    QVERIFY(test::waitFor([&] { return log().contains("1:1: unexpected token: unscannable"); }));
    QCOMPARE(backend_.runs.load(), 4);
  }

  void stopEndsALongBuildAsInterruptedAndTheCaptionShowsItsProgress() {
    CFractal_Doc* doc = newDocument("endless");
    trigger(command::BUILD_FRACTAL);
    QVERIFY(!frame_->action(command::BUILD_FRACTAL)->isEnabled());
    QVERIFY(test::waitFor(
        [&] { return frame_->statusBar()->currentMessage() == "[12.50%] Building..."; }));
    frame_->setWindowState(Qt::WindowMinimized);
    QVERIFY(test::waitFor([&] { return frame_->windowTitle() == "[12.50%] " + doc->title(); }));
    trigger(command::BUILD_STOP);
    QVERIFY(interrupted(doc));
    QVERIFY(!frame_->action(command::BUILD_STOP)->isEnabled());
  }

  // Cancel keeps the window; giving up leaves the build running on its own
  // memory; a build that ends while the question is open is not given up on.
  void closingDuringAnUnresponsiveBuild() {
    CFractal_Doc* doc = startDeafBuild();
    dialogs_.answers = {QMessageBox::Cancel};
    QVERIFY(!frame_->close());
    QCOMPARE(dialogs_.questions,
             QStringList{"The fractal building process seems not responding!\nTerminate it?"});
    QVERIFY(frame_->isVisible() && doc->isBuilding());
    dialogs_.answers = {QMessageBox::No, QMessageBox::Yes};
    QVERIFY(frame_->closeDocument(doc));
    QCOMPARE(dialogs_.questions.size(), 3);  // No waits once more, Yes gives up
    QVERIFY(test::waitFor([&] { return frame_->documents().isEmpty(); }));
    backend_.release = true;
    detached_builds::waitForAll();

    backend_.release = false;
    doc = startDeafBuild();
    dialogs_.answers = {QMessageBox::Yes};
    dialogs_.whileAsking = [&] {
      backend_.release = true;
      QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    };
    QVERIFY(frame_->closeDocument(doc));
    QVERIFY(test::waitFor([&] { return frame_->documents().isEmpty(); }));
  }

  void saveBitmapWritesTheImage() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(!frame_->action(command::FILE_SAVE_BITMAP_AS)->isEnabled());
    doc->saveBitmapAs(frame_.get());
    QCOMPARE(dialogs_.messages, QStringList{"Build Fractal First!"});
    QVERIFY(buildTo(doc, "Ready"));
    dialogs_.fileName = files_.filePath("image");
    trigger(command::FILE_SAVE_BITMAP_AS);
    QCOMPARE(QFileInfo(files_.filePath("image.bmp")).size(), 54 + 960 * 240);
  }
};

QTEST_MAIN(BuildTest)
#include "build_test.moc"
