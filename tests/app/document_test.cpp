#include <sys/resource.h>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <thread>

#include "app/build_clock.h"
#include "app/build_random_state.h"
#include "app/fractal_doc.h"
#include "app/frame_image.h"
#include "app/image_printing.h"
#include "app/memory_budget.h"
#include "app/script_codec.h"
#include "app/thread_priority.h"
#include "engine/frame_buffer.h"
#include "test_support.h"

using namespace app;

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// A 2 x 2 image: bottom row blue, red; top row green, white.
void fillTwoByTwo(engine::FrameBuffer& fb) {
  fb.width = fb.height = 2;
  fb.bitsPerPixel = 24;
  fb.stride = 8;
  fb.bits = {0xFF, 0,    0, 0,    0,    0xFF, 0, 0,  // bottom row, padded
             0,    0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0};
}

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT
 private slots:
  void codecKeepsEveryByteOfAFile() {
    ScriptCodec codec;
    const std::string latin1 = "// caf\xE9\r\nbuild T;\r\n";  // not UTF-8
    const QString text = codec.toEditor(latin1);
    QCOMPARE(text, QString::fromLatin1("// caf\xE9\nbuild T;\n"));
    QCOMPARE(codec.fromEditor(text), latin1);

    const std::string utf8 = "echo(\"\xD0\xB4\");\r\n";
    QCOMPARE(codec.toEditor(utf8), QString::fromUtf8("echo(\"\xD0\xB4\");\n"));
    QCOMPARE(codec.fromEditor(codec.toEditor(utf8)), utf8);
  }

  void savingWritesTheEditorTextWithItsLineEnds() {
    QTemporaryDir dir;
    const QString source = dir.filePath("scene.ifs"), copy = dir.filePath("copy.ifs");
    writeAll(source, "set T = scale(0.5) T;\r\nbuild T;\nlast line without break");
    test::ScriptedDialogs dialogs;
    test::FakeBackend backend;
    CFractal_Doc doc(dialogs, backend);
    QVERIFY(doc.load(source));
    QCOMPARE(doc.title(), QString("scene.ifs"));
    QVERIFY(!doc.isModified());
    QCOMPARE(doc.text()->toPlainText(),
             QString("set T = scale(0.5) T;\nbuild T;\nlast line without break\n"));
    QVERIFY(doc.save(copy));
    QCOMPARE(readAll(copy),
             QByteArray("set T = scale(0.5) T;\r\nbuild T;\r\nlast line without break\r\n"));
    QCOMPARE(doc.filePath(), copy);
  }

  void loadingAMissingFileFails() {
    test::ScriptedDialogs dialogs;
    test::FakeBackend backend;
    CFractal_Doc doc(dialogs, backend);
    QVERIFY(!doc.load("/nonexistent/scene.ifs"));
    QVERIFY(doc.filePath().isEmpty());
  }

  void frameImageTurnsBottomUpBgrIntoAnImage() {
    engine::FrameBuffer fb;
    QVERIFY(frameImage(fb).isNull());
    fillTwoByTwo(fb);
    const QImage image = frameImage(fb);
    QCOMPARE(image.size(), QSize(2, 2));
    QCOMPARE(image.pixel(0, 0), qRgb(0, 0xFF, 0));
    QCOMPARE(image.pixel(1, 0), qRgb(0xFF, 0xFF, 0xFF));
    QCOMPARE(image.pixel(0, 1), qRgb(0, 0, 0xFF));
    QCOMPARE(image.pixel(1, 1), qRgb(0xFF, 0, 0));
  }

  void printingSpansTheImageOverTheRightShareOfThePage() {
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("image.pdf"));
    QImage image(512, 256, QImage::Format_RGB888);
    image.fill(Qt::red);
    QVERIFY(printImage(printer, image));
    QVERIFY(readAll(dir.filePath("image.pdf")).startsWith("%PDF"));
    QVERIFY(!printImage(printer, QImage()));
  }

  void memoryBudgetHasItsFloors() {
    QCOMPARE(memoryBudgetFrom(8000, 16000), uint64_t{102400});
    QCOMPARE(memoryBudgetFrom(1000000, 8000000), uint64_t{2000000});
    QCOMPARE(memoryBudgetFrom(6000000, 8000000), uint64_t{6000000});
    QVERIFY(renderMemoryBudget() >= 102400);
  }

  void randomStateRulesForResizedAndZoomedBuilds() {
    engine::FrameBuffer fb;
    const engine::RandomState saved{1, 2, 3}, current{4, 5, 6};
    const auto prepare = [&](uint32_t w, uint32_t h) {
      fillTwoByTwo(fb);
      fb.depth.assign(4, 1.0f);
      fb.valid = true;
      fb.requestedWidth = w;
      fb.requestedHeight = h;
      fb.savedRandomState = saved;
      fb.randomState = current;
      fb.zoomRequested = false;
    };
    prepare(2, 2);
    QCOMPARE(chooseBuildRandomState(fb), current);
    prepare(2, 5);  // one dimension only
    QCOMPARE(chooseBuildRandomState(fb), current);
    prepare(4, 5);
    QCOMPARE(chooseBuildRandomState(fb), saved);
    QCOMPARE(fb.randomState, saved);
    prepare(2, 2);
    fb.zoomRequested = true;
    QCOMPARE(chooseBuildRandomState(fb), saved);
    prepare(2, 2);
    fb.zoomRequested = true;
    fb.valid = false;  // nothing to zoom into
    QCOMPARE(chooseBuildRandomState(fb), current);
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

  void processorTimeOnlyForABuildThatRanAlone() {
    auto alone = std::make_unique<BuildClock>();
    QVERIFY(alone->processorTicks().has_value());
    {
      BuildClock overlapping;
      QVERIFY(!overlapping.processorTicks().has_value());
    }
    QVERIFY(!alone->processorTicks().has_value());  // another build started meanwhile
    alone.reset();
    BuildClock next;
    QVERIFY(next.processorTicks().has_value());
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
