#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <new>

#include "app/command_ids.h"
#include "app/fractal_doc.h"
#include "app/main_frame.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "fsize_limit.h"
#include "test_support.h"

using namespace app;

// Runs out of memory on a script that asks for "everything".
class HungryBackend : public test::FakeBackend {
 public:
  bool run(engine::Fractal& scene) override {
    if (scene.frameBuffer->scriptText.find("everything") != std::string::npos) {
      throw std::bad_alloc();
    }
    return FakeBackend::run(scene);
  }
};

// Failures that the application survives with the user's work intact.
class FileFailureTest : public test::MainWindowTest {
  Q_OBJECT

  HungryBackend backend_;

 private slots:
  void init() { openFrame(backend_); }
  void cleanup() { closeFrame(); }

  // A full disk (files limited to 4 KiB) while saving over an older script
  // and image: both stay as they were, the document stays modified and the
  // message says why.
  void aFailedSaveKeepsTheOldFilesAndTheModifiedMark() {
    QTemporaryDir dir;
    const QByteArray old(300, 'o');
    for (const char* name : {"scene.ifs", "image.bmp"}) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(old);
    }
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildTo(doc, "Ready"));
    doc->text()->setPlainText(QString(100000, 'x'));
    {
      const shell::testing::FileSizeLimit limit(4096);
      for (const char* name : {"scene.ifs", "image.bmp"}) {
        dialogs_.fileName = dir.filePath(name);
        const bool script = QString(name).endsWith(".ifs");
        frame_->action(script ? command::FILE_SAVE_AS : command::FILE_SAVE_BITMAP_AS)->trigger();
      }
    }
    for (const char* name : {"scene.ifs", "image.bmp"}) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), old);
    }
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
