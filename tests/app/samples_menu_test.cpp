#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "app/command_ids.h"
#include "app/default_scene.h"
#include "app/fractal_doc.h"
#include "app/main_frame.h"
#include "test_support.h"

using namespace app;

namespace {

// Entries: 0 "Grey One", 1 submenu "Classic", 2 "Grey Two", 3 separator,
// 4 a sample without a name, 5 include "-shared", 6 "Last". Samples 0 to 3
// are entries 0, 2, 4 and 6.
const QByteArray kSamples =
    "[rem] test samples\n"
    "[sample=\"Grey One\"]\n"
    "\tgrey one\n"
    "[submenu=\"Classic\"]\n"
    "\t[sample=\"Grey Two\"]\n"
    "\t\tgrey two\n"
    "\t[separator]\n"
    "\t[sample=\"\"]\n"
    "\t\tgrey unnamed\n"
    "\tsample[-shared]\n"
    "[/submenu]\n"
    "[sample=\"Last\"]\n"
    "last grey\n";

}  // namespace

class SamplesMenuTest : public test::MainWindowTest {
  Q_OBJECT

  test::FakeBackend backend_;
  QTemporaryDir files_;

  QString samplesPath() const { return files_.filePath("Zentarel 3d.samples"); }
  void writeSamples(const QByteArray& text) {
    QFile file(samplesPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }
  void openFrame() {
    MainWindowTest::openFrame(backend_, QFile::encodeName(samplesPath()).toStdString());
  }
  void setAutoBuild(bool on) {
    if (frame_->autoBuild() != on) frame_->action(command::BUILD_AUTOBUILD)->trigger();
  }
  QMenu* samplesMenu() const { return frame_->findChild<QMenu*>("SAMPLES"); }
  // Opens and closes the Samples menu as the user would; its items then.
  QList<QAction*> shownSamples() const {
    QMenu* menu = samplesMenu();
    menu->popup(QPoint(0, 0));
    menu->hide();
    return menu->actions();
  }
  // "text=id" per item, "-" for separators, "[title: ...]" for submenus.
  static QStringList describe(const QList<QAction*>& actions) {
    QStringList items;
    for (QAction* a : actions) {
      if (a->isSeparator()) {
        items << "-";
      } else if (a->menu()) {
        items << "[" + a->text() + ": " + describe(a->menu()->actions()).join(", ") + "]";
      } else {
        items << a->text() + "=" + a->data().toString();
      }
    }
    return items;
  }
  // Chooses the Samples menu item of entry `entry`.
  void choose(int entry) {
    const std::function<QAction*(const QList<QAction*>&)> find =
        [&](const QList<QAction*>& actions) -> QAction* {
      for (QAction* a : actions) {
        if (a->menu()) {
          if (QAction* inner = find(a->menu()->actions())) return inner;
        } else if (!a->isSeparator() && a->data().toInt() == command::SAMPLES_FIRSTSAMPLE + entry) {
          return a;
        }
      }
      return nullptr;
    };
    QAction* item = find(shownSamples());
    QVERIFY2(item, qPrintable(QString("no item for entry %1").arg(entry)));
    item->trigger();
  }
  bool idle(CFractal_Doc* doc) {
    return test::waitFor([&] { return !doc->isBuilding(); });
  }

 private slots:
  void init() {
    backend_.runs = 0;
    writeSamples(kSamples);
    openFrame();
  }
  void cleanup() { closeFrame(); }

  void menuListsTheEntriesOfTheFile() {
    QCOMPARE(describe(samplesMenu()->actions()), QStringList{"First Sample=34000"});
    QCOMPARE(describe(shownSamples()),
             QStringList({"Grey One=34000", "[Classic: Grey Two=34002, -, =34004, -shared=34005]",
                          "Last=34006"}));
    QVERIFY(frame_->action(command::BUILD_PREV_SAMPLE)->isEnabled());
    QVERIFY(frame_->action(command::BUILD_NEXT_SAMPLE)->isEnabled());
  }

  void menuIsRebuiltOnlyWhenTheFileChanged() {
    const QPointer<QAction> first = shownSamples().first();
    shownSamples();
    QVERIFY(first);  // the same items: nothing was rebuilt

    writeSamples("[sample=\"Only\"]\nonly\n[/submenu]\n");
    QCOMPARE(describe(shownSamples()), QStringList{"Only=34000"});
    QVERIFY(test::waitFor([&] {
      return log().contains("warning: ignoring unmatched [/submenu] entry in samples file");
    }));

    writeSamples("");
    QVERIFY(shownSamples().isEmpty());
    QVERIFY(!frame_->action(command::BUILD_PREV_SAMPLE)->isEnabled());
    QVERIFY(!frame_->action(command::BUILD_NEXT_SAMPLE)->isEnabled());
  }

  void aSampleGoesIntoAnUntouchedUntitledDocument() {
    setAutoBuild(false);
    CFractal_Doc* doc = frame_->newDocument();
    choose(2);
    QCOMPARE(frame_->documents().size(), 1);
    QCOMPARE(frame_->activeDocument(), doc);
    QCOMPARE(doc->title(), QString("Grey Two"));
    QCOMPARE(doc->text()->toPlainText(), QString("grey two\n"));
    QVERIFY(!doc->isModified());
    QVERIFY(!doc->isBuilding());
    QCOMPARE(backend_.runs.load(), 0);

    // A changed document keeps its text; the sample gets a new one.
    doc->text()->setPlainText("my own scene");
    choose(6);
    QCOMPARE(frame_->documents().size(), 2);
    QCOMPARE(doc->text()->toPlainText(), QString("my own scene"));
    CFractal_Doc* last = frame_->activeDocument();
    QCOMPARE(last->title(), QString("Last"));
    QCOMPARE(last->text()->toPlainText(), QString("last grey\n"));
  }

  void aDocumentWithAFileOrABuildIsNotReused() {
    setAutoBuild(false);
    const QString script = files_.filePath("mine.ifs");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("grey\r\n");
    file.close();
    CFractal_Doc* titled = frame_->openFile(script);
    choose(0);
    QCOMPARE(frame_->documents().size(), 2);
    QCOMPARE(titled->title(), QString("mine.ifs"));

    CFractal_Doc* building = frame_->activeDocument();
    building->text()->setPlainText("endless");
    building->text()->setModified(false);
    building->build();
    choose(0);
    QCOMPARE(frame_->documents().size(), 3);
    QCOMPARE(building->text()->toPlainText(), QString("endless"));
    building->stop();
    QVERIFY(idle(building));
  }

  void anUnnamedSampleIsAnAffineSystemAndAnIncludeLoadsNothing() {
    setAutoBuild(false);
    CFractal_Doc* doc = frame_->newDocument();
    choose(4);
    QCOMPARE(doc->title(), QString("Affine System"));
    QCOMPARE(doc->text()->toPlainText(), QString("grey unnamed\n"));
    choose(5);
    QCOMPARE(frame_->documents().size(), 1);
    QCOMPARE(doc->title(), QString("Affine System"));
    QCOMPARE(doc->text()->toPlainText(), QString("grey unnamed\n"));
  }

  void autoBuildDecidesWhetherAChosenSampleBuilds() {
    setAutoBuild(true);
    choose(0);
    CFractal_Doc* doc = frame_->activeDocument();
    QVERIFY(doc->isBuilding());
    QVERIFY(idle(doc));
    QCOMPARE(doc->statusText(), QString("Ready"));
    QCOMPARE(backend_.runs.load(), 1);

    setAutoBuild(false);
    choose(2);
    QCOMPARE(frame_->activeDocument(), doc);
    QVERIFY(!doc->isBuilding());
    QCOMPARE(backend_.runs.load(), 1);
  }

  void previousAndNextStepWithinTheSamplesAndAlwaysBuild() {
    setAutoBuild(false);
    choose(6);  // the last sample
    CFractal_Doc* doc = frame_->activeDocument();
    doc->text()->setPlainText("edited");
    frame_->action(command::BUILD_NEXT_SAMPLE)->trigger();  // stays on the last one
    CFractal_Doc* again = frame_->activeDocument();
    QVERIFY(again != doc);
    QCOMPARE(again->title(), QString("Last"));
    QCOMPARE(again->text()->toPlainText(), QString("last grey\n"));
    QVERIFY(idle(again));
    QCOMPARE(backend_.runs.load(), 1);

    frame_->action(command::BUILD_PREV_SAMPLE)->trigger();
    QCOMPARE(frame_->activeDocument(), again);
    QCOMPARE(again->title(), QString("Affine System"));
    QVERIFY(idle(again));
    QCOMPARE(backend_.runs.load(), 2);
  }

  void previousStaysOnTheFirstSample() {
    setAutoBuild(false);
    choose(2);
    CFractal_Doc* doc = frame_->activeDocument();
    frame_->action(command::BUILD_PREV_SAMPLE)->trigger();
    QCOMPARE(frame_->activeDocument(), doc);
    QCOMPARE(doc->title(), QString("Grey One"));
    QVERIFY(idle(doc));
    frame_->action(command::BUILD_PREV_SAMPLE)->trigger();
    QCOMPARE(doc->title(), QString("Grey One"));
    QVERIFY(idle(doc));
    QCOMPARE(backend_.runs.load(), 2);
    frame_->action(command::BUILD_NEXT_SAMPLE)->trigger();
    QCOMPARE(doc->title(), QString("Grey Two"));
    QVERIFY(idle(doc));
  }

  void theFirstSampleStartsTheSession() {
    setAutoBuild(true);
    CFractal_Doc* doc = frame_->loadFirstSample();
    QCOMPARE(doc->title(), QString("Grey One"));
    QVERIFY(idle(doc));
    QCOMPARE(doc->statusText(), QString("Ready"));

    // The placeholder item of the unopened menu does the same.
    setAutoBuild(false);
    choose(6);
    frame_->action(command::SAMPLES_FIRSTSAMPLE)->trigger();
    QCOMPARE(frame_->activeDocument(), doc);
    QCOMPARE(doc->title(), QString("Grey One"));
    frame_->action(command::BUILD_NEXT_SAMPLE)->trigger();
    QCOMPARE(doc->title(), QString("Grey Two"));
    QVERIFY(idle(doc));
  }

  void withoutSamplesTheBuiltInSceneStartsTheSession() {
    for (const bool missing : {true, false}) {
      closeFrame();
      if (missing) {
        QFile::remove(samplesPath());
      } else {
        writeSamples("[rem] nothing yet\n");
      }
      openFrame();
      setAutoBuild(false);
      CFractal_Doc* doc = frame_->loadFirstSample();
      QCOMPARE(doc->title(), QString(DefaultScene::kTitle));
      QCOMPARE(doc->text()->toPlainText(), QString(DefaultScene::kScript).replace("\r\n", "\n"));
      QVERIFY(!frame_->action(command::BUILD_NEXT_SAMPLE)->isEnabled());
      QVERIFY(shownSamples().isEmpty());
    }
  }
};

QTEST_MAIN(SamplesMenuTest)
#include "samples_menu_test.moc"
