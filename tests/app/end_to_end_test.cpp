#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "app/command_ids.h"
#include "app/default_scene.h"
#include "app/fractal_doc.h"
#include "app/fractal_text_view.h"
#include "app/fractal_view.h"
#include "app/lang_build_backend.h"
#include "app/log_edit.h"
#include "app/main_frame.h"
#include "app/output_log_bar.h"
#include "engine/frame_buffer.h"
#include "test_support.h"

using namespace app;

// Builds with the real scene language and renderer.
class EndToEndTest : public test::MainWindowTest {
  Q_OBJECT

  LangBuildBackend backend_;

  bool buildTo(CFractal_Doc* doc, const QString& status) {
    return MainWindowTest::buildTo(doc, status, 60000);
  }

 private slots:
  void init() { openFrame(backend_); }
  void cleanup() { closeFrame(); }

  void theStartSceneBuildsAndFollowsItsCamera() {
    CFractal_Doc* doc = frame_->loadFirstSample();  // auto-build is on
    QVERIFY(test::waitFor([&] { return !doc->isBuilding() && doc->imageView(); }, 60000));
    QCOMPARE(doc->statusText(), QString("Ready"));
    QCOMPARE(doc->displayImage().size(), QSize(320, 240));
    QVERIFY(log().contains(QRegularExpression(
        "building: Sierpinski Tetrahedron\ncamera changed:\nold position\\(0.8, 2.6, -4.2\\)\n"
        "finished: [^\n]+\\(clear proc time: [^\n]+\\)$")));
    // The automatic camera wrote its direction into the script.
    QVERIFY(test::waitFor([&] { return doc->text()->toPlainText().contains(" direction("); }));
    QVERIFY(!doc->isModified());
    const QImage image = doc->displayImage();
    QVERIFY(image.pixel(160, 120) != image.pixel(2, 2));  // the attractor against the background
  }

  void aSelectionZoomsTheNextBuild() {
    CFractal_Doc* doc = newDocument(DefaultScene::kScript);
    QVERIFY(buildTo(doc, "Ready"));
    QWidget* area = doc->imageView()->viewport();
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(160, 120));
    QMouseEvent drag(QEvent::MouseMove, QPointF(200, 150), area->mapToGlobal(QPointF(200, 150)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &drag);
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(200, 150));
    const QString before = doc->text()->toPlainText();
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(log().contains("camera position changed:"));
    QVERIFY(test::waitFor([&] { return doc->text()->toPlainText() != before; }));
    QVERIFY(!doc->selectionShown());
  }

  void pointerShowsTheWorldPointInTheStatusBar() {
    CFractal_Doc* doc = newDocument(DefaultScene::kScript);
    QVERIFY(buildTo(doc, "Ready"));
    QWidget* area = doc->imageView()->viewport();
    QTest::mouseMove(area, QPoint(2, 2));
    QCOMPARE(frame_->statusBar()->currentMessage(), QString("oo"));
    const QImage image = doc->displayImage();
    for (int x = 100; x < 220; ++x) {
      if (image.pixel(x, 120) == image.pixel(2, 2)) continue;
      QTest::mouseMove(area, QPoint(x, 120));
      break;
    }
    QVERIFY(frame_->statusBar()->currentMessage().contains(
        QRegularExpression("^\\( *-?\\d+\\.\\d{6}, *-?\\d+\\.\\d{6}, *-?\\d+\\.\\d{6}\\)$")));
  }

  void anEndlessLoopStops() {
    CFractal_Doc* doc = newDocument("x = 0;\nwhile (1) { x = x + 1; }\n");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    QTest::qWait(300);
    QVERIFY(doc->isBuilding());
    frame_->action(command::BUILD_STOP)->trigger();
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }, 30000));
    QCOMPARE(doc->statusText(), QString("Interrupted"));
    QVERIFY(test::waitFor([&] { return log().contains("\ninterrupted: "); }));
  }

  void aScriptErrorLeadsToItsLine() {
    CFractal_Doc* doc = newDocument("x = 1;\ny = 2;\nz = ;\nw = 4;\n");
    QVERIFY(buildTo(doc, "Error"));
    QVERIFY(test::waitFor([&] { return log().contains("finished: "); }));
    LogEdit* edit = frame_->logBar()->edit();
    const int at = log().indexOf("error: line 3:");
    QVERIFY(at >= 0);
    const QTextBlock line = edit->document()->findBlock(at);
    QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {},
                       edit->cursorRect(QTextCursor(line)).center() + QPoint(30, 0));
    auto* editor = qobject_cast<CFractal_TextView*>(
        frame_->findChild<QMdiArea*>()->currentSubWindow()->widget());
    QCOMPARE(editor->textCursor().blockNumber(), 2);
  }

  void savedBitmapHoldsTheImage() {
    CFractal_Doc* doc = newDocument(DefaultScene::kScript);
    frame_->action(command::BITMAPSIZE_100X100)->trigger();
    QVERIFY(buildTo(doc, "Ready"));
    QTemporaryDir dir;
    dialogs_.fileName = dir.filePath("tetrahedron.bmp");
    frame_->action(command::FILE_SAVE_BITMAP_AS)->trigger();
    QFile file(dialogs_.fileName);
    QCOMPARE(file.size(), 54 + 300 * 100);
    const QImage saved(dialogs_.fileName);
    QCOMPARE(saved.size(), QSize(100, 100));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             doc->displayImage().convertToFormat(QImage::Format_RGB32));
  }

  void anAnimationIsWrittenFrameByFrameAtItsRate() {
    CFractal_Doc* doc = newDocument(
        "fps(25);\n"
        "for (i = 0; i < 3; i++) {\n"
        "  camera position(0, 0, -5) vertical(0, 1, 0);\n"
        "  light color(1) position(0, 5, -5);\n"
        "  set A = 0.5 A + translate(1, 0, 0) 0.5 A + translate(0, 1, 0) 0.5 A; build A;\n"
        "  save_frame();\n"
        "}\n");
    doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(34, 24));
    QTemporaryDir dir;
    dialogs_.fileName = dir.filePath("frames.avi");
    dialogs_.compressionAnswer = VideoCompression{"rawvideo", 75};
    QVERIFY(buildTo(doc, "Ready"));
    QCOMPARE(doc->displayImage().size(), QSize(34, 24));
    // Three frames of rows of 104 bytes (102 padded to 4), and the headers.
    QVERIFY(QFile(dialogs_.fileName).size() > 3 * 104 * 24);
    const auto probed = test::probeVideo(dialogs_.fileName);
    if (!probed) QSKIP("ffprobe not installed");
    QCOMPARE(*probed,
             QStringList({"codec_name=rawvideo", "r_frame_rate=25/1", "nb_read_frames=3"}));
  }

  void twoDocumentsBuildAtOnce() {
    CFractal_Doc* first = newDocument("while (1) {}\n");
    CFractal_Doc* second = newDocument(DefaultScene::kScript);
    first->build();
    QVERIFY(buildTo(second, "Ready"));
    QVERIFY(first->isBuilding());
    first->stop();
    QVERIFY(test::waitFor([&] { return !first->isBuilding(); }, 30000));
  }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
