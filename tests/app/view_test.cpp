#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>
#include <mutex>

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
    "build T;\n"
    "camera position(0.5, 0.25, -4) direction(-0.1, -0.05, 1) vertical(0, 1, 0);\n"
    "light position(0, 0, 0) color(1);\n";

// The real language, with the image width of every run recorded.
class RecordingBackend : public LangBuildBackend {
 public:
  bool run(engine::Fractal& scene) override {
    {
      const std::lock_guard lock(mutex);
      widths.push_back(int(scene.frameBuffer->requestedWidth));
    }
    return LangBuildBackend::run(scene);
  }
  std::vector<int> takeWidths() {
    const std::lock_guard lock(mutex);
    return std::exchange(widths, {});
  }
  int lastWidth() {
    const std::lock_guard lock(mutex);
    return widths.empty() ? 0 : widths.back();
  }

 private:
  std::mutex mutex;
  std::vector<int> widths;
};

// Draws the top half of the image, then waits for `release` to finish it.
class HalfwayBackend : public test::FakeBackend {
 public:
  bool run(engine::Fractal& scene) override {
    engine::FrameBuffer& fb = *scene.frameBuffer;
    scene.canceled = false;
    fb.resizeImage(fb.requestedWidth, fb.requestedHeight, 24);
    fill(fb, fb.height / 2, 0xFF);
    while (!release && !scene.canceled) QThread::msleep(2);
    fill(fb, 0, 0x40);
    fb.depth.assign(std::size_t(fb.width) * fb.height, 1.0f);
    fb.valid = true;
    return true;
  }

 private:
  // Rows from `firstRow` (counted from the bottom) to the top.
  static void fill(engine::FrameBuffer& fb, uint32_t firstRow, uint8_t value) {
    const std::lock_guard lock(fb.imageMutex);
    std::fill(fb.bits.begin() + std::ptrdiff_t(firstRow) * fb.stride, fb.bits.end(), value);
    ++fb.finishedTiles;
  }
};

// The camera arguments of the script's camera statement.
struct ScriptCamera {
  Vec3 position, direction;
};
ScriptCamera cameraIn(const QString& script) {
  const QRegularExpressionMatch m =
      QRegularExpression("camera position\\(([^)]*)\\) direction\\(([^)]*)\\)").match(script);
  const auto vector = [](const QString& text) {
    const QStringList parts = text.split(',');
    return parts.size() == 3 ? Vec3{parts[0].toDouble(), parts[1].toDouble(), parts[2].toDouble()}
                             : Vec3{NAN, NAN, NAN};
  };
  return {vector(m.captured(1)), vector(m.captured(2))};
}

void sendWheel(QWidget* area, QPoint at, int notches, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent wheel(at, area->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(area, &wheel);
}

}  // namespace

class ViewTest : public test::MainWindowTest {
  Q_OBJECT

  RecordingBackend lang_;

  // A built scene of 96 x 72 pixels in the real language.
  CFractal_Doc* builtScene(const QString& script = kScene) {
    CFractal_Doc* doc = newDocument(script);
    doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(96, 72));
    if (!buildTo(doc, "Ready", 60000) || !doc->imageView()) return nullptr;
    lang_.takeWidths();
    return doc;
  }
  // The widths of the builds of a gesture, once the full picture is built.
  std::vector<int> gestureBuilds(CFractal_Doc* doc) {
    test::waitFor([&] { return !doc->isBuilding() && lang_.lastWidth() == 96; }, 60000);
    return lang_.takeWidths();
  }

 private slots:
  void init() { openFrame(lang_); }
  void cleanup() { closeFrame(); }

  // A middle-drag turns the camera about the attractor's centre: one undo
  // step, previews at a quarter of the size while dragging, the full picture
  // after; Shift pans instead, keeping the direction.
  void middleDragOrbitsOrPans() {
    for (const bool shift : {false, true}) {
      CFractal_Doc* doc = builtScene();
      QVERIFY(doc);
      const QString before = doc->text()->toPlainText();
      const ScriptCamera start = cameraIn(before);
      const Vec3 centre = doc->scene()->preparedSets()->boundCenter;
      QWidget* area = doc->imageView()->viewport();
      const Qt::KeyboardModifiers keys = shift ? Qt::ShiftModifier : Qt::NoModifier;
      QTest::mousePress(area, Qt::MiddleButton, keys, QPoint(40, 30));
      for (const QPoint p : {QPoint(45, 32), QPoint(55, 38), QPoint(70, 40)}) {
        QTest::mouseMove(area, p);
        QVERIFY(doc->isBuilding());
      }
      QTest::mouseRelease(area, Qt::MiddleButton, keys, QPoint(70, 40));
      const std::vector<int> widths = gestureBuilds(doc);
      QCOMPARE(doc->statusText(), QString("Ready"));

      const ScriptCamera moved = cameraIn(doc->text()->toPlainText());
      QVERIFY((moved.position - start.position).length() > 0.1);
      const double distance = (start.position - centre).length();
      if (shift) {
        QCOMPARE(moved.direction, start.direction);
      } else {
        QVERIFY(std::abs((moved.position - centre).length() - distance) < 1e-9);
      }
      const Vec3 built = doc->scene()->camera.position;
      QVERIFY((built - moved.position).length() < 1e-12);
      QVERIFY(widths.size() >= 2);
      QCOMPARE(widths.front(), 96 / CFractal_Doc::kPreviewDivisor);
      QCOMPARE(widths.back(), 96);
      QCOMPARE(doc->displayImage().size(), QSize(96, 72));
      QCOMPARE(log().count(shift ? "camera position changed:\nold position(0.5, 0.25, -4)\n"
                                 : "camera changed:\nold position(0.5, 0.25, -4)\n"
                                   "old direction(-0.1, -0.05, 1)\n"),
               1);
      doc->text()->undo();
      QCOMPARE(doc->text()->toPlainText(), before);
      QVERIFY(frame_->closeDocument(doc));
    }
  }

  // A wheel step moves the camera along the line to the point under the
  // pointer (on the attractor or, over background, at its depth), nearer or
  // farther; Ctrl+wheel zooms the view and leaves the camera alone.
  void wheelDolliesTowardThePoint() {
    struct Case {
      QPoint at;
      int notches;
      bool onSurface;
    } cases[] = {{{48, 36}, 1, true}, {{48, 36}, -2, true}, {{2, 2}, 1, false}};
    for (const Case& c : cases) {
      CFractal_Doc* doc = builtScene();
      QVERIFY(doc);
      const Vec3 start = cameraIn(doc->text()->toPlainText()).position;
      const QString point = QString::fromStdString(doc->scene()->pointAtPixel(c.at.x(), c.at.y()));
      QCOMPARE(point != "oo", c.onSurface);
      Vec3 view = doc->scene()->camera.direction;
      view.normalize();
      const Vec3 centre = doc->scene()->preparedSets()->boundCenter;
      const Vec3 target =
          *doc->scene()->worldPointAtPixel(c.at.x(), c.at.y(), (centre - start).dot(view));

      sendWheel(doc->imageView()->viewport(), c.at, c.notches);
      QVERIFY(doc->isBuilding());
      QCOMPARE(gestureBuilds(doc), (std::vector<int>{24, 96}));
      const Vec3 moved = cameraIn(doc->text()->toPlainText()).position;
      const double expected = (target - start).length() * std::pow(0.8, c.notches);
      QVERIFY(std::abs((target - moved).length() - expected) < 1e-9);
      QVERIFY((target - moved).cross(target - start).length() < 1e-9);

      const QString text = doc->text()->toPlainText();
      sendWheel(doc->imageView()->viewport(), c.at, 1, Qt::ControlModifier);
      QCOMPARE(doc->imageView()->zoom(), 1.25);
      QVERIFY(!doc->isBuilding());
      QCOMPARE(doc->text()->toPlainText(), text);
      QVERIFY(frame_->closeDocument(doc));
    }
  }

  // With the camera statement edited away since the build, or in an
  // animation script, nothing is rewritten and the status bar says why.
  void gesturesThatCannotMoveTheCamera() {
    CFractal_Doc* doc = builtScene();
    QVERIFY(doc);
    doc->text()->setPlainText(QString(kScene).remove(QRegularExpression("camera[^\n]*")));
    const QString before = doc->text()->toPlainText();
    QTest::mousePress(doc->imageView()->viewport(), Qt::MiddleButton, {}, QPoint(10, 10));
    QTest::mouseMove(doc->imageView()->viewport(), QPoint(30, 20));
    QTest::mouseRelease(doc->imageView()->viewport(), Qt::MiddleButton, {}, QPoint(30, 20));
    QVERIFY(!doc->isBuilding());
    QCOMPARE(frame_->statusBar()->currentMessage(),
             QString("The script has no camera statement to move"));
    QCOMPARE(doc->text()->toPlainText(), before);

    closeFrame();
    openFrame(backend_);
    dialogs_.fileName = files_.filePath("movie.avi");
    dialogs_.compressionAnswer = VideoCompression{"rawvideo", 75};
    doc = newDocument("camera position(0, 0, -5); save_frame fps(5)");
    QVERIFY(buildTo(doc, "Ready"));
    QTest::mousePress(doc->imageView()->viewport(), Qt::MiddleButton, {}, QPoint(10, 10));
    QCOMPARE(frame_->statusBar()->currentMessage(),
             QString("An animation script keeps its camera: edit the script to move it"));
    QTest::mouseRelease(doc->imageView()->viewport(), Qt::MiddleButton, {}, QPoint(10, 10));
    QVERIFY(!doc->isBuilding());
  }

  // Finished tiles reach the image view while the build still runs; the
  // final image is the frame buffer's.
  void partialImagesReachTheViewDuringABuild() {
    closeFrame();
    HalfwayBackend halfway;
    openFrame(halfway);
    CFractal_Doc* doc = newDocument("scene");
    doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(64, 48));
    trigger(command::BUILD_FRACTAL);
    QVERIFY(test::waitFor([&] { return doc->imageView() && !doc->displayImage().isNull(); }));
    QVERIFY(doc->isBuilding());
    const QImage partial = doc->displayImage();
    QCOMPARE(partial.pixel(3, 3), qRgb(0xFF, 0xFF, 0xFF));
    QCOMPARE(partial.pixel(3, 40), qRgb(0, 0, 0));
    halfway.release = true;
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->displayImage(), frameImage(doc->frameBuffer()));
    QCOMPARE(doc->displayImage().pixel(3, 40), qRgb(0x40, 0x40, 0x40));
    closeFrame();
    openFrame(lang_);
  }

  // No window opens larger than the workspace, also for a 3000-pixel image,
  // which scrolls and zooms inside its window; "Use Window Size" then renders
  // at the window's size.
  void windowsFitTheWorkspace() {
    closeFrame();
    openFrame(backend_);
    for (const QSize frameSize : {QSize(900, 700), QSize(420, 330)}) {
      frame_->resize(frameSize);
      auto* mdi = frame_->findChild<QMdiArea*>();
      CFractal_Doc* doc = newDocument("grey");
      doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(3000, 2250));
      QVERIFY(buildTo(doc, "Ready"));
      CFractal_View* view = doc->imageView();
      QVERIFY(view);
      for (QMdiSubWindow* window : mdi->subWindowList())
        QVERIFY(mdi->viewport()->rect().contains(window->geometry()));
      QVERIFY(view->horizontalScrollBar()->maximum() > 0);
      view->zoomToFit();
      QCOMPARE(view->horizontalScrollBar()->maximum() + view->verticalScrollBar()->maximum(), 0);
      sendWheel(view->viewport(), QPoint(5, 5), 8, Qt::ControlModifier);
      QVERIFY(view->horizontalScrollBar()->maximum() > 0);
      trigger(command::BITMAPSIZE_VARIABLE);
      QCOMPARE(doc->requestedSize(), view->clientSize());
      QVERIFY(frame_->closeDocument(doc));
    }
  }
};

QTEST_MAIN(ViewTest)
#include "view_test.moc"
