#include <QGuiApplication>
#include <QScreen>

#include "test_support.h"

using namespace app;

// Runs at interface scale 2 (QT_SCALE_FACTOR, set by the test's environment).
class ViewScaleTest : public test::MainWindowTest {
  Q_OBJECT

 private slots:
  void cleanup() {
    if (frame_) closeFrame();
  }

  // A placement saved at scale 1 (or anywhere else) restores inside the
  // screen, whatever its size or place was; so does the first start's size.
  void restoredGeometryFitsTheScreen() {
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const std::optional<QRect> cases[] = {
        std::nullopt /* the first start */,
        QRect(0, 0, 1600, 1000) /* the whole screen at scale 1 */,
        QRect(screen.right() - 50, 100, 300, 200) /* sticking out on the right */,
        QRect(-500, -400, 600, 450) /* above and left of the screen */,
        QRect(20, 30, 200, 150) /* already inside: kept */,
    };
    for (const std::optional<QRect>& saved : cases) {
      if (saved) {
        AppSettings settings(temp_.path());
        WindowPlacement placement;
        placement.left = saved->left(), placement.top = saved->top();
        placement.right = saved->right() + 1, placement.bottom = saved->bottom() + 1;
        settings.setWindowPlacement(placement);
        settings.sync();
      }
      settings_ = temp_.open();
      frame_ = std::make_unique<CMainFrame>(*settings_, dialogs_, backend_);
      const QRect restored = frame_->geometry();
      QVERIFY2(screen.contains(restored), qPrintable(QString("%1,%2 %3x%4")
                                                         .arg(restored.x())
                                                         .arg(restored.y())
                                                         .arg(restored.width())
                                                         .arg(restored.height())));
      if (saved && screen.contains(*saved)) QCOMPARE(restored, *saved);
      closeFrame();
    }
  }

  // Images render at device pixels and are shown at that density.
  void imagesRenderAtDevicePixels() {
    openFrame();
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(buildTo(doc, "Ready"));  // the second build takes the image window's size
    CFractal_View* view = doc->imageView();
    QCOMPARE(doc->requestedSize(), view->clientSize() * 2);
    QCOMPARE(doc->displayImage().size(), view->clientSize() * 2);
    QCOMPARE(doc->displayImage().devicePixelRatio(), 2.0);
    QCOMPARE(doc->displayImage().deviceIndependentSize(), QSizeF(view->clientSize()));
  }
};

QTEST_MAIN(ViewScaleTest)
#include "view_scale_test.moc"
