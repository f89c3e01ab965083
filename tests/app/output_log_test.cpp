#include <QTextBlock>
#include <iostream>
#include <thread>

#include "test_support.h"

using namespace app;

namespace {

QString numberedLines(int first, int last) {
  QString text;
  for (int i = first; i <= last; ++i) text += QString("line %1\n").arg(i);
  return text;
}

}  // namespace

class OutputLogTest : public QObject {
  Q_OBJECT
 private slots:
  // Text without a line feed shows at once; the log keeps the last 200 lines
  // and drops a single write of more; a caret on the last line follows the
  // output.
  void logKeepsTheLast200Lines() {
    LogEdit log;
    log.resize(300, 100);
    log.show();
    log.appendChunk("progress ");
    log.appendChunk("done");
    QCOMPARE(log.toPlainText(), QString("progress done"));
    log.clear();
    log.appendChunk(numberedLines(1, 50).chopped(1));
    QCOMPARE(log.textCursor().blockNumber(), 49);
    QVERIFY(log.viewport()->rect().contains(log.cursorRect()));
    log.appendChunk("\n" + numberedLines(51, 205).chopped(1));
    QCOMPARE(log.document()->blockCount(), LogEdit::kMaxLines);
    QCOMPARE(log.document()->firstBlock().text(), QString("line 6"));
    log.appendChunk(numberedLines(1, 201));
    QCOMPARE(log.document()->lastBlock().text(), QString("line 205"));
  }

  // Writers on several threads at once lose nothing.
  void standardStreamsReachTheBarFromAnyThread() {
    OutputLogBar bar;
    const auto writer = [](char c) {
      for (int i = 0; i < 90; ++i) std::cout << std::string(7, c) << std::endl;
    };
    std::thread x(writer, 'x'), y(writer, 'y');
    x.join();
    y.join();
    std::cerr << "from the interface" << std::endl;
    const auto shows = [&](const QString& text, int times) {
      return bar.edit()->toPlainText().count(text) == times;
    };
    QVERIFY(test::waitFor(
        [&] { return shows("x", 630) && shows("y", 630) && shows("from the interface", 1); }));
    bar.clear();
    QCOMPARE(bar.edit()->toPlainText(), QString());
  }
};

QTEST_MAIN(OutputLogTest)
#include "output_log_test.moc"
