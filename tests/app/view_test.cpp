#include <QFileInfo>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "app/default_scene.h"
#include "app/frame_image.h"
#include "app/lang_build_backend.h"
#include "engine/ifs_set.h"
#include "test_support.h"

using namespace app;
using engine::Vec3;

namespace {

const QString kScene =
    "set T = translate(0.5, 0.5, 0.5) scale(0.5) T + translate(-0.5, -0.5, 0.5) scale(0.5) T\n"
    "      + translate(-0.5, 0.5, -0.5) scale(0.5) T + translate(0.5, -0.5, -0.5) scale(0.5) T;\n"
    "build T;\ncamera position(0.5, 0.25, -4) direction(-0.1, -0.05, 1) vertical(0, 1, 0);\n";

// The real language; counts its runs and notes their image widths.
struct RecordingBackend : LangBuildBackend {
  bool run(engine::Fractal& scene) override {
    last = int(scene.frameBuffer->requestedWidth);
    smallest = runs++ ? std::min(smallest.load(), last.load()) : last.load();
    return LangBuildBackend::run(scene);
  }
  std::atomic<int> runs{0}, smallest{0}, last{0};
};

// Draws the top half of a black image, then the rest once released.
struct HalfwayBackend : test::FakeBackend {
  bool run(engine::Fractal& scene) override {
    engine::FrameBuffer& fb = *scene.frameBuffer;
    fb.resizeImage(fb.requestedWidth, fb.requestedHeight, 24);
    const auto fill = [&](uint32_t fromRow, uint8_t value) {
      const std::lock_guard lock(fb.imageMutex);
      std::fill(fb.bits.begin() + std::ptrdiff_t(fromRow) * fb.stride, fb.bits.end(), value);
      ++fb.finishedTiles;
    };
    fill(fb.height / 2, 0xFF);
    while (!release) QThread::msleep(2);
    fill(0, 0x40);
    fb.valid = true;
    return true;
  }
};

void sendWheel(QWidget* area, QPoint at, int notches, Qt::KeyboardModifiers keys = {}) {
  QWheelEvent wheel(at, area->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, keys,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(area, &wheel);
}

}  // namespace

// Builds with the real scene language and renderer: the start scene, and the
// pointer and its gestures over the image.
class ViewTest : public test::MainWindowTest {
  Q_OBJECT

  RecordingBackend lang_;

  // A scene built at 96 x 72 pixels.
  CFractal_Doc* builtScene() {
    CFractal_Doc* doc = newDocument(kScene);
    doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(96, 72));
    const bool built = buildTo(doc, "Ready", 60000);
    lang_.runs = 0, lang_.last = 0;
    return built ? doc : nullptr;
  }
  // A gesture's full picture is built.
  bool gestureBuilt(CFractal_Doc* doc) {
    return test::waitFor([&] { return !doc->isBuilding() && lang_.last == 96; });
  }

 private slots:
  void init() { openFrame(lang_); }
  void cleanup() {
    if (frame_) closeFrame();
  }

  // A middle-drag orbits the centre: previews at a quarter of the size, the
  // full picture at the end, one log entry and one undo step.
  void middleDragOrbitsTheCentre() {
    CFractal_Doc* doc = builtScene();
    QVERIFY(doc);
    const QString before = doc->text()->toPlainText();
    const Vec3 centre = doc->scene()->preparedSets()->boundCenter;
    QWidget* area = doc->imageView()->viewport();
    QTest::mousePress(area, Qt::MiddleButton, {}, QPoint(40, 30));
    for (const QPoint p : {QPoint(45, 32), QPoint(55, 38), QPoint(70, 40)}) {
      QTest::mouseMove(area, p);
      QVERIFY(doc->isBuilding());
    }
    QTest::mouseRelease(area, Qt::MiddleButton, {}, QPoint(70, 40));
    QVERIFY(gestureBuilt(doc));
    QVERIFY(lang_.runs >= 2 && lang_.smallest == 24);
    // The full picture's build read the rewritten camera statement.
    const Vec3 start{0.5, 0.25, -4}, moved = doc->scene()->camera.position;
    QVERIFY((moved - start).length() > 0.1);
    QVERIFY(std::abs((moved - centre).length() - (start - centre).length()) < 1e-9);
    QCOMPARE(log().count("camera changed:\nold position(0.5, 0.25, -4)\n"
                         "old direction(-0.1, -0.05, 1)\n"),
             1);
    doc->text()->undo();
    QCOMPARE(doc->text()->toPlainText(), before);
  }

  // A wheel step moves the camera along the line to the point under the
  // pointer, on the attractor or over background.
  void wheelDolliesTowardThePoint() {
    for (const auto& [at, notches] :
         {std::pair{QPoint(48, 36), 1}, {QPoint(48, 36), -2}, {QPoint(2, 2), 1}}) {
      CFractal_Doc* doc = builtScene();
      QVERIFY(doc);
      const engine::Fractal& scene = *doc->scene();
      const Vec3 start = scene.camera.position, centre = scene.preparedSets()->boundCenter;
      const double depth = (centre - start).dot(scene.view.viewDir);
      const Vec3 target = *scene.worldPointAtPixel(at.x(), at.y(), depth);
      sendWheel(doc->imageView()->viewport(), at, notches);
      QVERIFY(gestureBuilt(doc));
      QVERIFY(lang_.runs == 2 && lang_.smallest == 24);
      const Vec3 moved = doc->scene()->camera.position;
      const double expected = (target - start).length() * std::pow(0.8, notches);
      QVERIFY(std::abs((target - moved).length() - expected) < 1e-9);
      QVERIFY((target - moved).cross(target - start).length() < 1e-9);
      QVERIFY(frame_->closeDocument(doc));
    }
  }

  // Finished tiles reach the view while the build runs; the final image is
  // the frame buffer's.
  void partialImagesReachTheViewDuringABuild() {
    closeFrame();
    HalfwayBackend halfway;
    openFrame(halfway);
    CFractal_Doc* doc = newDocument("scene");
    trigger(command::BUILD_FRACTAL);
    QVERIFY(test::waitFor([&] { return !doc->displayImage().isNull(); }));
    QVERIFY(doc->isBuilding());
    QCOMPARE(doc->displayImage().pixel(3, 3), qRgb(0xFF, 0xFF, 0xFF));
    QCOMPARE(doc->displayImage().pixel(3, 230), qRgb(0, 0, 0));
    halfway.release = true;
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->displayImage(), frameImage(doc->frameBuffer()));
    QCOMPARE(doc->displayImage().pixel(3, 230), qRgb(0x40, 0x40, 0x40));
    closeFrame();
  }

  // No window opens larger than a small workspace, not even for a 3000-pixel
  // image, which scrolls and zooms (Ctrl+wheel leaves the camera alone);
  // "Use Window Size" takes the view's size.
  void windowsFitTheWorkspace() {
    closeFrame();
    openFrame(backend_);
    frame_->resize(420, 330);
    CFractal_Doc* doc = newDocument("grey");
    doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(3000, 2250));
    QVERIFY(buildTo(doc, "Ready"));
    auto* mdi = frame_->findChild<QMdiArea*>();
    QCOMPARE(mdi->subWindowList().size(), 2);
    for (QMdiSubWindow* window : mdi->subWindowList())
      QVERIFY(mdi->viewport()->rect().contains(window->geometry()));
    CFractal_View* view = doc->imageView();
    QVERIFY(view->horizontalScrollBar()->maximum() > 0);
    view->zoomToFit();
    QCOMPARE(view->horizontalScrollBar()->maximum() + view->verticalScrollBar()->maximum(), 0);
    sendWheel(view->viewport(), QPoint(5, 5), 8, Qt::ControlModifier);
    QVERIFY(view->horizontalScrollBar()->maximum() > 0 && !doc->isBuilding());
    trigger(command::BITMAPSIZE_VARIABLE);
    QCOMPARE(doc->requestedSize(), view->clientSize());
  }

  void theStartSceneBuildsAndFollowsItsCamera() {
    CFractal_Doc* doc = frame_->loadFirstSample();  // auto-build is on
    QVERIFY(test::waitFor([&] { return !doc->isBuilding() && doc->imageView(); }, 60000));
    QCOMPARE(doc->statusText(), QString("Ready"));
    QVERIFY(log().contains(QRegularExpression(
        "building: Sierpinski Tetrahedron\ncamera changed:\nold position\\(0.8, 2.6, -4.2\\)\n"
        "finished: [^\n]+\\(clear proc time: [^\n]+\\)$")));
    // The automatic camera wrote its direction into the script, as an edit
    // that can be undone; an untitled document stays reusable.
    QVERIFY(test::waitFor([&] { return doc->text()->toPlainText().contains(" direction("); }));
    QVERIFY(!doc->isModified());
    doc->text()->undo();
    QVERIFY(!doc->text()->toPlainText().contains(" direction("));
  }

  // The pointer over the attractor shows its world point; a selection moves
  // the camera of the next build, which writes it into the script.
  void pointerAndSelectionOverTheImage() {
    CFractal_Doc* doc = newDocument(DefaultScene::kScript);
    QVERIFY(buildTo(doc, "Ready", 60000));
    QWidget* area = doc->imageView()->viewport();
    QTest::mouseMove(area, QPoint(2, 2));
    QCOMPARE(frame_->statusBar()->currentMessage(), QString("oo"));
    const QImage image = doc->displayImage();
    int x = 100;
    while (x < 220 && image.pixel(x, 120) == image.pixel(2, 2)) ++x;
    QTest::mouseMove(area, QPoint(x, 120));
    QVERIFY(frame_->statusBar()->currentMessage().contains(
        QRegularExpression("^x -?\\d+\\.\\d{3}  y -?\\d+\\.\\d{3}  z -?\\d+\\.\\d{3}$")));

    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(160, 120));
    const QString before = doc->text()->toPlainText();
    QVERIFY(buildTo(doc, "Ready", 60000));
    QVERIFY(log().contains("camera position changed:"));
    QVERIFY(test::waitFor([&] { return doc->text()->toPlainText() != before; }));
  }

  // File > Export Mesh: the file named in the save dialog, the cells and the
  // scale asked next; the build writes the mesh and logs its figures.
  void exportMeshWritesTheChosenFile() {
    CFractal_Doc* doc = newDocument(kScene);
    dialogs_.fileName = files_.filePath("tetrahedron");
    dialogs_.chosenFilter = "PLY Files with Colours (*.ply)";
    QTimer answer;
    connect(&answer, &QTimer::timeout, [] {
      if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
        if (input->inputMode() == QInputDialog::IntInput) input->setIntValue(24);
        input->accept();
      }
    });
    answer.start(20);
    trigger(command::FILE_EXPORT_MESH);
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    const QString file = files_.filePath("tetrahedron.ply");
    QVERIFY(QFileInfo(file).size() > 0);
    QVERIFY(log().contains(QRegularExpression("exported: " + QRegularExpression::escape(file) +
                                              ": \\d+ cells, \\d+ triangles")));
  }
};

QTEST_MAIN(ViewTest)
#include "view_test.moc"
