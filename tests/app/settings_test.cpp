#include <QSettings>

#include "app/window_placement.h"
#include "test_support.h"

using namespace app;

class SettingsTest : public test::MainWindowTest {
  Q_OBJECT
 private slots:
  void placementTextNeedsAllSixValues() {
    const auto parsed = WindowPlacement::parse("2,3,-8,10,1000,700");
    QVERIFY(parsed);
    QCOMPARE(parsed->toString(), QString("2,3,-8,10,1000,700"));
    QCOMPARE(parsed->normalRect(), QRect(-8, 10, 1008, 690));
    for (const char* text : {"", "0,1,2,3,4", "0,1,2,3,4,x", "-1,1,2,3,4,5"}) {  // flags unsigned
      QVERIFY2(!WindowPlacement::parse(text), text);
    }
  }

  // Recent files move to the front and stop at eight.
  void valuesUseTheirSectionsAndNames() {
    {
      auto settings = temp_.open();
      QVERIFY(settings->autoBuild());  // the default
      settings->setAutoBuild(false);
      settings->setBarSizes({QSize(300, 90), QSize(150, 400), QSize(200, 120)});
      QStringList files;
      for (int i = 0; i < 10; ++i) files = withRecentFile(files, QString("/f%1.ifs").arg(i));
      settings->setRecentFiles(withRecentFile(files, "/f5.ifs"));
    }
    QSettings raw(temp_.path(), QSettings::IniFormat);
    QCOMPARE(raw.value("Settings/AutoBuild").toInt(), 0);
    QCOMPARE(raw.value("BarState-SCBar-123/sizeHorzCY").toInt(), 90);
    QCOMPARE(raw.value("BarState-SCBar-123/sizeVertCX").toInt(), 150);
    QCOMPARE(raw.value("BarState-SCBar-123/sizeFloatCX").toInt(), 200);
    QCOMPARE(raw.value("Recent File List/File2").toString(), QString("/f9.ifs"));
    auto settings = temp_.open();
    QVERIFY(!settings->autoBuild());
    QCOMPARE(settings->recentFiles().size(), 8);
    QCOMPARE(settings->recentFiles().mid(0, 3), QStringList({"/f5.ifs", "/f9.ifs", "/f8.ifs"}));
    // Sizes below the bar's minimum are raised to it.
    const BarSizes sizes = settings->barSizes({}, QSize(160, 100));
    QCOMPARE(sizes.horizontal, QSize(300, 100));
    QCOMPARE(sizes.vertical, QSize(160, 400));
  }

  // The window comes back where it was, with its log bar and auto-build; a
  // maximised one comes back maximised over its normal rectangle.
  void mainWindowRoundTrip() {
    test::TempSettings temp;
    {
      settings_ = temp.open();
      CMainFrame frame(*settings_, dialogs_, backend_);
      frame.setGeometry(40, 50, 700, 500);
      frame.show();
      QVERIFY(QTest::qWaitForWindowExposed(&frame));
      frame.action(command::BUILD_AUTOBUILD)->trigger();
      frame.action(command::VIEW_TOOGLE_OUTPUTLOG)->trigger();
      QVERIFY(frame.close());
    }
    settings_.reset();  // written when it goes
    settings_ = temp.open();
    QCOMPARE(settings_->windowPlacement()->normalRect(), QRect(40, 50, 700, 500));
    {
      CMainFrame frame(*settings_, dialogs_, backend_);
      QVERIFY(!frame.autoBuild() && !frame.action(command::BUILD_AUTOBUILD)->isChecked());
      QCOMPARE(frame.geometry(), QRect(40, 50, 700, 500));
      frame.show();
      QVERIFY(frame.logBar()->isHidden());
    }
    settings_->setWindowPlacement(*WindowPlacement::parse("2,3,10,20,610,420"));
    CMainFrame frame(*settings_, dialogs_, backend_);
    QVERIFY(frame.windowState() & Qt::WindowMaximized);
    frame.showNormal();
    QCOMPARE(frame.geometry(), QRect(10, 20, 600, 400));
  }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
