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

  // An error line is reported once, with the thread that wrote it, even when
  // it arrives in pieces (the error stream writes each part at once).
  void errorLinesAreReportedWithTheirWriter() {
    OutputLogBar bar;
    QList<std::pair<int, QThread*>> reported;
    connect(&bar, &OutputLogBar::errorLineLogged, this, [&](int line, QThread* writer) {
      reported.append({line, writer});
    });
    QThread* const interface = QThread::currentThread();
    QThread* worker = QThread::create([] {
      std::cerr << "error: "
                << "line 1"
                << "2:3: unexpected token" << std::endl;
      std::cerr << "warning: line 4:1: x" << std::endl << "text error: line 5:1" << std::endl;
    });
    worker->start();
    worker->wait();
    std::cout << "error: line 7" << std::endl << "error: line 8:1: y" << std::endl;
    QVERIFY(test::waitFor([&] { return bar.edit()->toPlainText().contains("line 8"); }));
    const QList<std::pair<int, QThread*>> expected = {{12, worker}, {7, interface}, {8, interface}};
    QCOMPARE(reported, expected);
    delete worker;
  }
};

QTEST_MAIN(OutputLogTest)
#include "output_log_test.moc"
