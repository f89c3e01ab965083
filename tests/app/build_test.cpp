#include <QFileInfo>
#include <QMdiSubWindow>

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
    CFractal_Doc* unscannable = newDocument("unscannable");
    trigger(command::BUILD_FRACTAL);
    QVERIFY(!unscannable->isBuilding());
    QVERIFY(test::waitFor([&] { return log().contains("1:1: unexpected token: unscannable"); }));
    QCOMPARE(backend_.runs.load(), 2);
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

  // The window size, a fixed size or a custom one; a size chosen during a
  // build applies after it.
  void imageSizeModes() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    auto* window = qobject_cast<QMdiSubWindow*>(doc->imageView()->parentWidget());
    window->resize(window->size() + QSize(40, 20));
    QVERIFY(buildTo(doc, "Ready"));
    QCOMPARE(doc->displayImage().size(), QSize(360, 260));
    trigger(command::BITMAPSIZE_100X100);
    QVERIFY(!frame_->action(command::BITMAPSIZE_VARIABLE)->isChecked());
    window->resize(window->size() + QSize(40, 20));  // a fixed size ignores the window
    QVERIFY(buildTo(doc, "Ready"));
    QCOMPARE(doc->displayImage().size(), QSize(100, 100));
    dialogs_.customSizeAnswer = QSize(64, 48);
    trigger(command::BITMAPSIZE_CUSTOM_SIZE);
    QCOMPARE(doc->requestedSize(), QSize(64, 48));

    doc->text()->setPlainText("endless");
    trigger(command::BUILD_FRACTAL);
    trigger(command::BITMAPSIZE_800X600);
    QCOMPARE(doc->frameBuffer().requestedWidth, 64u);
    doc->stop();
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->frameBuffer().requestedWidth, 800u);
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
    dialogs_.fileName = files_.filePath("missing/image.bmp");
    trigger(command::FILE_SAVE_BITMAP_AS);
    QVERIFY(dialogs_.messages.last().startsWith("Cannot write"));
  }

  // A click selects at least 5 pixels each way, widened to the image's 4:3; a
  // drag spans the selection, a second click moves it, a right click drops it.
  // Only the next build zooms into it; a Ctrl drag moves the window instead.
  void zoomSelectionFollowsTheMouse() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    engine::FrameBuffer& fb = doc->frameBuffer();
    QWidget* area = doc->imageView()->viewport();
    const auto selection = [&] {
      const engine::SelectionRect& s = fb.selection;
      return QRect(QPoint(s.left, s.top), QPoint(s.right - 1, s.bottom - 1));
    };
    const auto drag = [&](QPoint to, Qt::KeyboardModifiers modifiers) {
      QMouseEvent move(QEvent::MouseMove, to, area->mapToGlobal(QPointF(to)), Qt::NoButton,
                       Qt::LeftButton, modifiers);
      QCoreApplication::sendEvent(area, &move);
    };
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(100, 80));
    QCOMPARE(selection(), QRect(QPoint(94, 75), QPoint(105, 84)));
    drag(QPoint(130, 90), {});
    QCOMPARE(selection(), QRect(QPoint(70, 58), QPoint(129, 101)));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(130, 90));
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(selection(), QRect(QPoint(170, 78), QPoint(229, 121)));
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(backend_.sawZoom && !doc->selectionShown() && !fb.zoomRequested);

    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(100, 80));
    QTest::mouseClick(area, Qt::RightButton, {}, QPoint(100, 80));
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(330, 10));  // outside the image
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(!backend_.sawZoom);

    const QPoint before = doc->imageView()->parentWidget()->pos();
    QTest::mousePress(area, Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
    drag(QPoint(70, 60), Qt::ControlModifier);
    QCOMPARE(doc->imageView()->parentWidget()->pos(), before + QPoint(20, 10));
    QVERIFY(!fb.zoomRequested);
  }
};

QTEST_MAIN(BuildTest)
#include "build_test.moc"
