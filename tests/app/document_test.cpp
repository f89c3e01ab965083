#include <sys/resource.h>
#include <QPrinter>
#include <thread>

#include "app/build_clock.h"
#include "app/build_random_state.h"
#include "app/frame_image.h"
#include "app/image_printing.h"
#include "app/memory_budget.h"
#include "app/script_codec.h"
#include "app/thread_priority.h"
#include "test_support.h"

using namespace app;

class DocumentTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private slots:
  // Bytes that are not UTF-8 survive a round trip through the editor.
  void codecKeepsEveryByteOfAFile() {
    ScriptCodec codec;
    const std::string latin1 = "// caf\xE9\r\nbuild T;\r\n";
    QCOMPARE(codec.toEditor(latin1), QString::fromLatin1("// caf\xE9\nbuild T;\n"));
    QCOMPARE(codec.fromEditor(codec.toEditor(latin1)), latin1);
    const std::string utf8 = "echo(\"\xD0\xB4\");\r\n";
    QCOMPARE(codec.toEditor(utf8), QString::fromUtf8("echo(\"\xD0\xB4\");\n"));
    QCOMPARE(codec.fromEditor(codec.toEditor(utf8)), utf8);
  }

  void savingWritesTheEditorTextWithItsLineEnds() {
    test::ScriptedDialogs dialogs;
    test::FakeBackend backend;
    CFractal_Doc doc(dialogs, backend);
    QVERIFY(!doc.load("/nonexistent/scene.ifs"));
    QVERIFY(doc.load(test::writeFile(dir_.filePath("scene.ifs"), "set T;\r\nbuild T;\nlast")));
    QCOMPARE(doc.title(), QString("scene.ifs"));
    QCOMPARE(doc.text()->toPlainText(), QString("set T;\nbuild T;\nlast\n"));
    QVERIFY(doc.save(dir_.filePath("copy.ifs")));
    QCOMPARE(test::readFile(dir_.filePath("copy.ifs").toStdString()),
             "set T;\r\nbuild T;\r\nlast\r\n");
    QCOMPARE(doc.filePath(), dir_.filePath("copy.ifs"));
  }

  // Frames are bottom-up blue-green-red with padded rows.
  void frameImageTurnsBottomUpBgrIntoAnImage() {
    engine::FrameBuffer fb;
    QVERIFY(frameImage(fb).isNull());
    fb.width = fb.height = 2;
    fb.bitsPerPixel = 24;
    fb.stride = 8;
    fb.bits = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0};
    const QImage image = frameImage(fb);
    QCOMPARE(image.size(), QSize(2, 2));
    QCOMPARE(
        QList<QRgb>({image.pixel(0, 0), image.pixel(1, 0), image.pixel(0, 1), image.pixel(1, 1)}),
        QList<QRgb>(
            {qRgb(0, 0xFF, 0), qRgb(0xFF, 0xFF, 0xFF), qRgb(0, 0, 0xFF), qRgb(0xFF, 0, 0)}));

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("image.pdf"));
    QVERIFY(printImage(printer, image.scaled(512, 256)));
    QVERIFY(test::readFile(dir_.filePath("image.pdf").toStdString()).starts_with("%PDF"));
    QVERIFY(!printImage(printer, QImage()));
  }

  void memoryBudgetHasItsFloors() {
    QCOMPARE(memoryBudgetFrom(8000, 16000), uint64_t{102400});
    QCOMPARE(memoryBudgetFrom(1000000, 8000000), uint64_t{2000000});
    QCOMPARE(memoryBudgetFrom(6000000, 8000000), uint64_t{6000000});
    QVERIFY(renderMemoryBudget() >= 102400);
  }

  // A build that grows the image in both dimensions, or zooms into a valid
  // image, starts from the saved random state; others go on from the current one.
  void randomStateRulesForResizedAndZoomedBuilds() {
    const engine::RandomState saved{1, 2, 3}, current{4, 5, 6};
    const struct {
      uint32_t width, height;
      bool zoom, valid;
      engine::RandomState chosen;
    } cases[] = {
        {2, 2, false, true, current}, {2, 5, false, true, current}, {4, 5, false, true, saved},
        {2, 2, true, true, saved},    {2, 2, true, false, current},
    };
    for (const auto& c : cases) {
      engine::FrameBuffer fb;
      fb.resizeImage(2, 2, 24);
      fb.depth.assign(4, 1.0f);
      fb.valid = c.valid;
      fb.requestedWidth = c.width;
      fb.requestedHeight = c.height;
      fb.savedRandomState = saved;
      fb.randomState = current;
      fb.zoomRequested = c.zoom;
      QCOMPARE(chooseBuildRandomState(fb), c.chosen);
      QCOMPARE(fb.randomState, c.chosen);
    }
  }

  void buildThreadsRunOneStepBelowNormal() {
    int before = 0, after = 0;
    std::thread worker([&] {
      before = getpriority(PRIO_PROCESS, id_t(gettid()));
      lowerCurrentThreadPriority();
      after = getpriority(PRIO_PROCESS, id_t(gettid()));
    });
    worker.join();
    QCOMPARE(after, std::min(before + 1, 19));
    QCOMPARE(getpriority(PRIO_PROCESS, id_t(gettid())), before);  // this thread is untouched
  }

  // Processor time is reported only for a build that ran alone.
  void processorTimeOnlyForABuildThatRanAlone() {
    auto alone = std::make_unique<BuildClock>();
    QVERIFY(alone->processorTicks().has_value());
    {
      BuildClock overlapping;  // another build meanwhile
      QVERIFY(!overlapping.processorTicks().has_value());
    }
    QVERIFY(!alone->processorTicks().has_value());
    alone.reset();
    QVERIFY(BuildClock().processorTicks().has_value());
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
