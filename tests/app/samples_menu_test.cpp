#include <QMenu>

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

  QString samplesPath() const { return files_.filePath("Zentarel 3d.samples"); }
  void openFrame() {
    MainWindowTest::openFrame(backend_, QFile::encodeName(samplesPath()).toStdString());
  }
  void setAutoBuild(bool on) {
    if (frame_->autoBuild() != on) trigger(command::BUILD_AUTOBUILD);
  }
  // Opens and closes the Samples menu as the user would; its items then.
  QList<QAction*> shownSamples() const {
    QMenu* menu = frame_->findChild<QMenu*>("SAMPLES");
    menu->popup(QPoint(0, 0));
    menu->hide();
    return menu->actions();
  }
  // "text=id" per item, "-" for separators, "[title: ...]" for submenus.
  static QStringList describe(const QList<QAction*>& actions) {
    QStringList items;
    for (QAction* a : actions) {
      items << (a->isSeparator() ? "-"
                : a->menu()
                    ? "[" + a->text() + ": " + describe(a->menu()->actions()).join(", ") + "]"
                    : a->text() + "=" + a->data().toString());
    }
    return items;
  }
  // Chooses the Samples menu item of entry `entry`, in a submenu or not.
  void choose(int entry) {
    QList<QAction*> items = shownSamples();
    for (int i = 0; i < items.size(); ++i) {
      if (items[i]->menu()) items << items[i]->menu()->actions();
      if (!items[i]->menu() && items[i]->data().toInt() == command::SAMPLES_FIRSTSAMPLE + entry)
        return items[i]->trigger();
    }
    QFAIL(qPrintable(QString("no item for entry %1").arg(entry)));
  }
  // Whether the active document holds the sample `title` and built `runs` times in all.
  bool shows(const QString& title, int runs) {
    CFractal_Doc* doc = frame_->activeDocument();
    return doc->title() == title && test::waitFor([&] { return !doc->isBuilding(); }) &&
           backend_.runs == runs;
  }

 private slots:
  void init() {
    backend_.runs = 0;
    test::writeFile(samplesPath(), kSamples);
    openFrame();
  }
  void cleanup() { closeFrame(); }

  // The menu is rebuilt from the file when it is opened and the file changed.
  void menuListsTheEntriesOfTheFile() {
    QCOMPARE(describe(shownSamples()),
             QStringList({"Grey One=34000", "[Classic: Grey Two=34002, -, =34004, -shared=34005]",
                          "Last=34006"}));

    test::writeFile(samplesPath(), "[sample=\"Only\"]\nonly\n[/submenu]\n");
    QCOMPARE(describe(shownSamples()), QStringList{"Only=34000"});
    QVERIFY(test::waitFor([&] {
      return log().contains("warning: ignoring unmatched [/submenu] entry in samples file");
    }));
    test::writeFile(samplesPath(), "");
    QVERIFY(shownSamples().isEmpty());
    QVERIFY(!frame_->action(command::BUILD_PREV_SAMPLE)->isEnabled());
  }

  // A sample goes into the active document while it is untitled and
  // unchanged; else into a new one. An include loads nothing.
  void aSampleGoesIntoAnUntouchedUntitledDocument() {
    setAutoBuild(false);
    CFractal_Doc* doc = frame_->newDocument();
    choose(2);
    QCOMPARE(frame_->activeDocument(), doc);
    QCOMPARE(doc->text()->toPlainText(), QString("grey two\n"));
    QVERIFY(!doc->isModified());
    QVERIFY(shows("Grey Two", 0));
    choose(5);
    QCOMPARE(doc->text()->toPlainText(), QString("grey two\n"));

    doc->text()->setPlainText("my own scene");
    choose(6);
    QCOMPARE(doc->text()->toPlainText(), QString("my own scene"));
    QCOMPARE(frame_->activeDocument()->text()->toPlainText(), QString("last grey\n"));
    QCOMPARE(frame_->documents().size(), 2);
  }

  // Auto-build decides whether a chosen sample builds; Previous and Next
  // always build, and stay on the first and the last sample, skipping
  // includes (an unnamed sample is an "Affine System"); the first sample
  // starts the session, as does the placeholder item.
  void autoBuildPreviousAndNext() {
    setAutoBuild(true);
    CFractal_Doc* doc = frame_->loadFirstSample();
    QVERIFY(shows("Grey One", 1));
    QCOMPARE(doc->statusText(), QString("Ready"));
    trigger(command::BUILD_PREV_SAMPLE);
    QVERIFY(shows("Grey One", 2));
    trigger(command::BUILD_NEXT_SAMPLE);
    QVERIFY(shows("Grey Two", 3));
    QVERIFY(!doc->displayImage().isNull());
    setAutoBuild(false);
    choose(6);
    QVERIFY(shows("Last", 3));
    // Not built: no picture of the sample before it stays under the new title.
    QVERIFY(doc->displayImage().isNull() && !doc->canSaveBitmap());
    trigger(command::BUILD_NEXT_SAMPLE);  // stays on the last one
    QVERIFY(shows("Last", 4));
    trigger(command::BUILD_PREV_SAMPLE);
    QVERIFY(shows("Affine System", 5));
    trigger(command::SAMPLES_FIRSTSAMPLE);
    QVERIFY(shows("Grey One", 5));
  }
};

QTEST_MAIN(SamplesMenuTest)
#include "samples_menu_test.moc"
