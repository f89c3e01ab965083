#include "app/default_scene.h"
#include "app/lang_build_backend.h"
#include "test_support.h"

using namespace app;

// Builds with the real scene language and renderer.
class EndToEndTest : public test::MainWindowTest {
  Q_OBJECT

  LangBuildBackend lang_;

  bool buildTo(CFractal_Doc* doc, const QString& status) {
    return MainWindowTest::buildTo(doc, status, 60000);
  }

 private slots:
  void init() { openFrame(lang_); }
  void cleanup() { closeFrame(); }

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
    const QImage image = doc->displayImage();
    QVERIFY(image.pixel(160, 120) != image.pixel(2, 2));  // the attractor against the background
  }

  // The pointer over the attractor shows its world point; a selection moves
  // the camera of the next build, which writes it into the script.
  void pointerAndSelectionOverTheImage() {
    CFractal_Doc* doc = newDocument(DefaultScene::kScript);
    QVERIFY(buildTo(doc, "Ready"));
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
    QVERIFY(buildTo(doc, "Ready"));
    QVERIFY(log().contains("camera position changed:"));
    QVERIFY(test::waitFor([&] { return doc->text()->toPlainText() != before; }));
  }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
