#include <QDockWidget>
#include <QSettings>
#include <QTest>

#include "app/app_settings.h"
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/output_log_bar.h"
#include "app/window_placement.h"
#include "test_support.h"

using namespace app;

class SettingsTest : public QObject {
  Q_OBJECT
 private slots:
  void placementTextRoundTrip() {
    WindowPlacement p;
    p.flags = WindowPlacement::kRestoreToMaximized;
    p.showState = WindowPlacement::kShowMaximized;
    p.left = -8;
    p.top = 10;
    p.right = 1000;
    p.bottom = 700;
    QCOMPARE(p.toString(), QString("2,3,-8,10,1000,700"));
    const auto parsed = WindowPlacement::parse(p.toString());
    QVERIFY(parsed);
    QCOMPARE(parsed->toString(), p.toString());
    QCOMPARE(parsed->normalRect(), QRect(-8, 10, 1008, 690));
  }

  void placementNeedsAllSixValues() {
    QVERIFY(!WindowPlacement::parse(""));
    QVERIFY(!WindowPlacement::parse("0,1,2,3,4"));
    QVERIFY(!WindowPlacement::parse("0,1,2,3,4,x"));
    QVERIFY(!WindowPlacement::parse("-1,1,2,3,4,5"));  // flags are unsigned
  }

  void valuesUseTheirSectionsAndNames() {
    test::TempSettings temp;
    {
      auto settings = temp.open();
      QVERIFY(settings->autoBuild());  // the default
      settings->setAutoBuild(false);
      settings->setBarSizes({QSize(300, 90), QSize(150, 400), QSize(200, 120)});
      settings->setRecentFiles({"/a.ifs", "/b.ifs"});
      settings->sync();
    }
    QSettings raw(temp.path(), QSettings::IniFormat);
    QCOMPARE(raw.value("Settings/AutoBuild").toInt(), 0);
    QCOMPARE(raw.value("BarState-SCBar-123/sizeHorzCY").toInt(), 90);
    QCOMPARE(raw.value("BarState-SCBar-123/sizeVertCX").toInt(), 150);
    QCOMPARE(raw.value("BarState-SCBar-123/sizeFloatCX").toInt(), 200);
    QCOMPARE(raw.value("Recent File List/File2").toString(), QString("/b.ifs"));

    auto settings = temp.open();
    QVERIFY(!settings->autoBuild());
    QCOMPARE(settings->recentFiles(), QStringList({"/a.ifs", "/b.ifs"}));
    // Sizes below the bar's minimum are raised to it.
    const BarSizes sizes = settings->barSizes({}, QSize(160, 100));
    QCOMPARE(sizes.horizontal, QSize(300, 100));
    QCOMPARE(sizes.vertical, QSize(160, 400));
  }

  void recentFilesMoveToTheFrontAndStopAtEight() {
    QStringList files;
    for (int i = 0; i < 10; ++i) files = withRecentFile(files, QString("/f%1.ifs").arg(i));
    QCOMPARE(files.size(), 8);
    QCOMPARE(files.first(), QString("/f9.ifs"));
    files = withRecentFile(files, "/f5.ifs");
    QCOMPARE(files.size(), 8);
    QCOMPARE(files.mid(0, 2), QStringList({"/f5.ifs", "/f9.ifs"}));
  }

  void mainWindowRoundTrip() {
    test::TempSettings temp;
    test::FakeBackend backend;
    test::ScriptedDialogs dialogs;
    {
      auto settings = temp.open();
      CMainFrame frame(*settings, dialogs, backend);
      frame.setGeometry(40, 50, 700, 500);
      frame.show();
      QVERIFY(QTest::qWaitForWindowExposed(&frame));
      QVERIFY(frame.autoBuild());
      frame.action(command::BUILD_AUTOBUILD)->trigger();
      frame.action(command::VIEW_TOOGLE_OUTPUTLOG)->trigger();
      QVERIFY(frame.logBar()->isHidden());
      QVERIFY(frame.close());
    }
    auto settings = temp.open();
    QVERIFY(!settings->autoBuild());
    const auto placement = settings->windowPlacement();
    QVERIFY(placement);
    QCOMPARE(placement->normalRect(), QRect(40, 50, 700, 500));

    CMainFrame frame(*settings, dialogs, backend);
    QVERIFY(!frame.autoBuild());
    QVERIFY(!frame.action(command::BUILD_AUTOBUILD)->isChecked());
    QCOMPARE(frame.geometry(), QRect(40, 50, 700, 500));
    frame.show();
    QVERIFY(frame.logBar()->isHidden());
  }

  void maximisedWindowComesBackMaximisedOverItsNormalRect() {
    test::TempSettings temp;
    test::FakeBackend backend;
    test::ScriptedDialogs dialogs;
    auto settings = temp.open();
    settings->setWindowPlacement(*WindowPlacement::parse("2,3,10,20,610,420"));
    CMainFrame frame(*settings, dialogs, backend);
    QVERIFY(frame.windowState() & Qt::WindowMaximized);
    frame.showNormal();
    QCOMPARE(frame.geometry(), QRect(10, 20, 600, 400));
  }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
