#include <QGuiApplication>
#include <QScreen>

#include "test_support.h"

using namespace app;

// Runs at interface scale 2 (QT_SCALE_FACTOR in the test's environment).
class ViewScaleTest : public test::MainWindowTest {
  Q_OBJECT

 private slots:
  // The first start, and placements saved at scale 1 or off the screen,
  // open inside the screen; one that fits stays as it was.
  void restoredGeometryFitsTheScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QRect saved :
         {QRect(), QRect(0, 0, 1600, 1000), QRect(screen.right() - 50, 9, 300, 200),
          QRect(-500, -400, 600, 450), QRect(20, 30, 200, 150)}) {
      if (!saved.isNull()) {
        AppSettings settings(temp_.path());
        settings.setWindowPlacement(
            {0, 1, saved.left(), saved.top(), saved.right() + 1, saved.bottom() + 1});
      }
      settings_ = temp_.open();
      frame_ = std::make_unique<CMainFrame>(*settings_, dialogs_, backend_);
      QVERIFY(screen.contains(frame_->geometry()));
      QVERIFY(!screen.contains(saved) || frame_->geometry() == saved);
      closeFrame();
    }
  }

  // Images render at device pixels and are shown at that density.
  void imagesRenderAtDevicePixels() {
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    openFrame();
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(buildTo(doc, "Ready"));  // the second build takes the image window's size
    const QSize client = doc->imageView()->clientSize();
    QCOMPARE(doc->displayImage().size(), client * 2);
    QCOMPARE(doc->displayImage().deviceIndependentSize(), QSizeF(client));
    closeFrame();
  }
};

QTEST_MAIN(ViewScaleTest)
#include "view_scale_test.moc"
