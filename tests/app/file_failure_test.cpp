#include "fsize_limit.h"
#include "test_support.h"

using namespace app;

// Failures that the application survives with the user's work intact.
class FileFailureTest : public test::MainWindowTest {
  Q_OBJECT

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  // A full disk (files limited to 4 KiB) while saving over an older script
  // and image: both stay as they were, the document stays modified and the
  // message says why.
  void aFailedSaveKeepsTheOldFilesAndTheModifiedMark() {
    QTemporaryDir dir;
    const QByteArray old(300, 'o');
    const QStringList names{"scene.ifs", "image.bmp"};
    for (const QString& name : names) test::writeFile(dir.filePath(name), old);
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    doc->text()->setPlainText(QString(100000, 'x'));
    {
      const shell::testing::FileSizeLimit limit(4096);
      for (const QString& name : names) {
        dialogs_.fileName = dir.filePath(name);
        trigger(name.endsWith(".ifs") ? command::FILE_SAVE_AS : command::FILE_SAVE_BITMAP_AS);
      }
    }
    for (const QString& name : names)
      QCOMPARE(test::readFile(dir.filePath(name).toStdString()), old.toStdString());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    QVERIFY(doc->isModified());
    QCOMPARE(dialogs_.messages.size(), 2);
    for (const QString& message : dialogs_.messages) {
      QVERIFY2(message.endsWith(": File too large"), qPrintable(message));
    }
  }

  // A build that runs out of memory ends with an error in the log; the
  // application goes on and builds again.
  void aBuildOutOfMemoryIsReported() {
    CFractal_Doc* doc = newDocument("everything");
    QVERIFY(buildTo(doc, "Error"));
    QVERIFY(test::waitFor([&] { return log().contains("Not enough memory\nfinished: "); }));
    doc->text()->setPlainText("grey");
    QVERIFY(buildTo(doc, "Ready"));
  }
};

QTEST_MAIN(FileFailureTest)
#include "file_failure_test.moc"
