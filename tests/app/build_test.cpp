#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "app/command_ids.h"
#include "app/detached_builds.h"
#include "app/fractal_doc.h"
#include "app/fractal_view.h"
#include "app/main_frame.h"
#include "engine/frame_buffer.h"
#include "test_support.h"

using namespace app;

// Builds through the main window's commands, with the fake backend.
class BuildTest : public test::MainWindowTest {
  Q_OBJECT

  test::FakeBackend backend_;

 private slots:
  void init() {
    backend_.release = false;
    backend_.runs = 0;
    openFrame(backend_);
  }
  void cleanup() {
    backend_.release = true;
    dialogs_.answers = {QMessageBox::Yes};
    closeFrame();
    detached_builds::waitForAll();
  }

  void buildCommandEndsReadyAndShowsTheImage() {
    CFractal_Doc* doc = newDocument("set T = scale(0.5) T;");
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(log().contains(QRegularExpression("building: Fractal\\d+\nfinished: \\d+ ")));
    QVERIFY(doc->imageView());
    QCOMPARE(doc->displayImage().size(), QSize(320, 240));
    QCOMPARE(doc->imageView()->clientSize(), QSize(320, 240));
    QVERIFY(frame_->action(command::BUILD_FRACTAL)->isEnabled());
    QVERIFY(!frame_->action(command::BUILD_STOP)->isEnabled());
    QVERIFY(frame_->action(command::FILE_SAVE_BITMAP_AS)->isEnabled());
    QCOMPARE(frame_->statusBar()->currentMessage(), QString("[100.00%] Ready").mid(10));
  }

  void scriptErrorEndsWithError() {
    CFractal_Doc* doc = newDocument("fail");
    QVERIFY(buildTo(doc, "Error"));
    QVERIFY(
        log().contains(QRegularExpression("error: line 2:1: unexpected token: fail\nfinished: ")));
    QVERIFY(!doc->imageView());
  }

  void aScriptThatCannotBeScannedStartsNoBuild() {
    CFractal_Doc* doc = newDocument("unscannable");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    QVERIFY(!doc->isBuilding());
    QVERIFY(test::waitFor([&] { return log().contains("error: line 1:1: unexpected token"); }));
    QCOMPARE(backend_.runs.load(), 0);
  }

  void stopEndsALongBuildAsInterrupted() {
    CFractal_Doc* doc = newDocument("endless");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    QVERIFY(doc->isBuilding());
    QVERIFY(!frame_->action(command::BUILD_FRACTAL)->isEnabled());
    QVERIFY(test::waitFor(
        [&] { return frame_->statusBar()->currentMessage() == "[12.50%] Building..."; }));
    frame_->action(command::BUILD_STOP)->trigger();
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->statusText(), QString("Interrupted"));
    QVERIFY(test::waitFor([&] { return log().contains("\ninterrupted: "); }));
  }

  void minimisedWindowShowsTheProgressInItsCaption() {
    CFractal_Doc* doc = newDocument("endless");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    frame_->setWindowState(Qt::WindowMinimized);
    QVERIFY(test::waitFor([&] { return frame_->windowTitle() == "[12.50%] " + doc->title(); }));
    frame_->setWindowState(Qt::WindowNoState);
    QVERIFY(test::waitFor([&] {
      return frame_->windowTitle() == QString(CMainFrame::kTitle) + " - " + doc->title();
    }));
    doc->stop();
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
  }

  void closingDuringAnUnresponsiveBuildCanBeCancelled() {
    CFractal_Doc* doc = newDocument("deaf");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    dialogs_.answers = {QMessageBox::Cancel};
    QVERIFY(!frame_->close());
    QCOMPARE(dialogs_.questions,
             QStringList{"The fractal building process seems not responding!\nTerminate it?"});
    QVERIFY(frame_->isVisible());
    QVERIFY(doc->isBuilding());

    backend_.release = true;
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->statusText(), QString("Interrupted"));  // closing stopped it
    QVERIFY(test::waitFor([&] { return log().contains("\ninterrupted: "); }));
  }

  void givingUpOnABuildLeavesItRunningOnItsOwnMemory() {
    CFractal_Doc* doc = newDocument("deaf");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    dialogs_.answers = {QMessageBox::No, QMessageBox::Yes};
    QVERIFY(frame_->closeDocument(doc));
    QCOMPARE(dialogs_.questions.size(), 2);  // No waits once more, Yes gives up
    QVERIFY(test::waitFor([&] { return frame_->documents().isEmpty(); }));
    backend_.release = true;
    detached_builds::waitForAll();
  }

  void aBuildEndingWhileTheQuestionIsOpenIsNotGivenUp() {
    CFractal_Doc* doc = newDocument("deaf");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    dialogs_.answers = {QMessageBox::Yes};
    dialogs_.whileAsking = [&] {
      backend_.release = true;
      QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    };
    QVERIFY(frame_->closeDocument(doc));
    QVERIFY(test::waitFor([&] { return frame_->documents().isEmpty(); }));
  }

  void windowSizeModeSizesTheNextImage() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    auto* window = qobject_cast<QMdiSubWindow*>(doc->imageView()->parentWidget());
    window->resize(window->size() + QSize(40, 20));
    QCOMPARE(doc->requestedSize(), QSize(360, 260));
    QVERIFY(buildTo(doc, "Ready"));
    QCOMPARE(doc->displayImage().size(), QSize(360, 260));
    QVERIFY(frame_->action(command::BITMAPSIZE_VARIABLE)->isChecked());

    frame_->action(command::BITMAPSIZE_100X100)->trigger();
    QVERIFY(frame_->action(command::BITMAPSIZE_100X100)->isChecked());
    QVERIFY(!frame_->action(command::BITMAPSIZE_VARIABLE)->isChecked());
    QCOMPARE(doc->imageView()->clientSize(), QSize(100, 100));
    window->resize(window->size() + QSize(40, 20));  // a fixed size ignores the window
    QVERIFY(buildTo(doc, "Ready"));
    QCOMPARE(doc->displayImage().size(), QSize(100, 100));
  }

  void customSizeDialog() {
    CFractal_Doc* doc = newDocument("grey");
    dialogs_.customSizeAnswer = QSize(0, 0);
    frame_->action(command::BITMAPSIZE_CUSTOM_SIZE)->trigger();
    QCOMPARE(doc->requestedSize(), QSize(0, 0));
    QVERIFY(frame_->action(command::BITMAPSIZE_CUSTOM_SIZE)->isChecked());
    dialogs_.customSizeAnswer.reset();  // Cancel
    frame_->action(command::BITMAPSIZE_640X480)->trigger();
    frame_->action(command::BITMAPSIZE_CUSTOM_SIZE)->trigger();
    QCOMPARE(doc->requestedSize(), QSize(640, 480));
    QVERIFY(frame_->action(command::BITMAPSIZE_640X480)->isChecked());
  }

  void sizeChosenDuringABuildAppliesAfterIt() {
    CFractal_Doc* doc = newDocument("endless");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    frame_->action(command::BITMAPSIZE_800X600)->trigger();
    QCOMPARE(doc->frameBuffer().requestedWidth, 320u);
    doc->stop();
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->frameBuffer().requestedWidth, 800u);
    QCOMPARE(doc->frameBuffer().requestedHeight, 600u);
  }

  void rewrittenCameraReachesTheEditorAsAnUndoableEdit() {
    CFractal_Doc* doc = newDocument("camera position(0,0,-5) vertical(0,1,0);");
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(test::waitFor([&] { return doc->text()->toPlainText().contains("(1,2,3)"); }));
    QCOMPARE(doc->text()->toPlainText(), QString("camera position(1,2,3) vertical(0,1,0);\n"));
    QVERIFY(!doc->isModified());  // an untitled document stays reusable
    doc->text()->undo();
    QCOMPARE(doc->text()->toPlainText(), QString("camera position(0,0,-5) vertical(0,1,0);"));
  }

  void saveBitmapWithoutImageAsksForABuild() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(!frame_->action(command::FILE_SAVE_BITMAP_AS)->isEnabled());
    doc->saveBitmapAs(frame_.get());
    QCOMPARE(dialogs_.messages, QStringList{"Build Fractal First!"});
  }

  void saveBitmapWritesBmpOrPng() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    QTemporaryDir dir;
    dialogs_.fileName = dir.filePath("image");
    frame_->action(command::FILE_SAVE_BITMAP_AS)->trigger();
    QFile bmp(dir.filePath("image.bmp"));
    QVERIFY(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(2);
    QCOMPARE(header, QByteArray("BM"));
    QCOMPARE(bmp.size(), 54 + 960 * 240);

    dialogs_.fileName = dir.filePath("image.png");
    frame_->action(command::FILE_SAVE_BITMAP_AS)->trigger();
    QCOMPARE(QImage(dir.filePath("image.png")).size(), QSize(320, 240));

    dialogs_.fileName = dir.filePath("missing/image.bmp");
    frame_->action(command::FILE_SAVE_BITMAP_AS)->trigger();
    QCOMPARE(dialogs_.messages.size(), 1);
    QVERIFY(dialogs_.messages.first().startsWith("Cannot write"));
  }

  void zoomSelectionFollowsTheMouse() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    engine::FrameBuffer& fb = doc->frameBuffer();
    QVERIFY(fb.selectionAllowed);
    QWidget* area = doc->imageView()->viewport();

    const auto selection = [&] {
      const engine::SelectionRect& s = fb.selection;
      return QRect(QPoint(s.left, s.top), QPoint(s.right - 1, s.bottom - 1));
    };
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(100, 80));
    QVERIFY(fb.zoomRequested);
    QCOMPARE(QPoint(fb.anchorX, fb.anchorY), QPoint(100, 80));
    // At least 5 pixels each way, widened to the image's 4:3.
    QCOMPARE(selection(), QRect(QPoint(94, 75), QPoint(105, 84)));
    QTest::mouseMove(area, QPoint(104, 83));  // within 5 pixels: no drag yet
    QVERIFY(!fb.selectionDragged);
    QMouseEvent drag(QEvent::MouseMove, QPointF(130, 90), area->mapToGlobal(QPointF(130, 90)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &drag);
    QVERIFY(fb.selectionDragged);
    QCOMPARE(selection(), QRect(QPoint(70, 58), QPoint(129, 101)));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(130, 90));
    QVERIFY(fb.zoomRequested);  // the selection stays until a right click
    // A second click moves it with its half width.
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(selection(), QRect(QPoint(170, 78), QPoint(229, 121)));
    QTest::mouseClick(area, Qt::RightButton, {}, QPoint(10, 10));
    QVERIFY(!fb.zoomRequested);

    // Outside the requested image a click selects nothing.
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(330, 10));
    QVERIFY(!fb.zoomRequested);
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(330, 10));
  }

  void aShownSelectionIsZoomedIntoByTheNextBuildOnly() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    QWidget* area = doc->imageView()->viewport();
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(100, 80));
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(backend_.sawZoom);
    QVERIFY(!doc->selectionShown());
    QVERIFY(!doc->frameBuffer().zoomRequested);

    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(100, 80));
    QTest::mouseClick(area, Qt::RightButton, {}, QPoint(100, 80));
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(!backend_.sawZoom);
  }

  void ctrlDragMovesTheImageWindow() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    QWidget* area = doc->imageView()->viewport();
    QWidget* window = doc->imageView()->parentWidget();
    const QPoint before = window->pos();
    QTest::mousePress(area, Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(70, 60), area->mapToGlobal(QPointF(70, 60)),
                     Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    QCoreApplication::sendEvent(area, &move);
    QCOMPARE(window->pos(), before + QPoint(20, 10));
    QVERIFY(!doc->frameBuffer().zoomRequested);
  }
};

QTEST_MAIN(BuildTest)
#include "build_test.moc"
