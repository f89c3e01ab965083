#include <QScrollBar>
#include <QTextBlock>
#include <iostream>
#include <ostream>
#include <sstream>
#include <thread>

#include "app/log_line_number.h"
#include "app/log_stream_buffer.h"
#include "app/pending_log_text.h"
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
  // A final line feed waits for the next text, so that the log never ends
  // in an empty line; while holding, everything waits.
  void pendingTextHoldsBackTheFinalLineFeed() {
    PendingLogText pending;
    const char* const steps[][2] = {
        {"one\n", "one"}, {"two", "\ntwo"}, {"\n", ""}, {"three\n", "\nthree"}};
    for (const auto& [text, shown] : steps) QCOMPARE(pending.take(text, false), std::string(shown));
    QCOMPARE(pending.take("while waiting\n", true), std::string());
    QCOMPARE(pending.take("", false), std::string("\nwhile waiting"));
  }

  // Lines and full areas are handed on; text written while a stop is being
  // waited for waits for the next flush; without a sink, text goes to the
  // fallback stream.
  void streamBufferHandsOnLinesAndFullAreas() {
    LogStreamBuffer buffer(nullptr);
    QStringList chunks;
    buffer.setSink([&](const std::string& chunk) { chunks << QString::fromStdString(chunk); });
    std::ostream out(&buffer);
    out << std::string(LogStreamBuffer::kAreaSize, 'x');
    QVERIFY(chunks.isEmpty());  // the area is full but not yet handed on
    out << 'y';
    QCOMPARE(chunks, QStringList{QString(LogStreamBuffer::kAreaSize, 'x')});
    out << "z" << std::endl;
    QCOMPARE(chunks.last(), QString("yz"));
    LogStreamBuffer::stopWait = true;
    out << "interrupted: 1 sec" << std::endl;
    LogStreamBuffer::stopWait = false;
    QCOMPARE(chunks.size(), 2);
    out.flush();
    QCOMPARE(chunks.last(), QString("\ninterrupted: 1 sec"));

    std::stringbuf fallback;
    LogStreamBuffer early(&fallback);
    std::ostream(&early) << "before the log" << std::endl;
    QCOMPARE(fallback.str(), std::string("before the log\n"));
  }

  void concurrentWritersLoseNothing() {
    LogStreamBuffer buffer(nullptr);
    std::string received;
    buffer.setSink([&](const std::string& chunk) { received += chunk; });
    constexpr int kLines = 2000;
    const auto writer = [&](char c) {
      std::ostream out(&buffer);
      for (int i = 0; i < kLines; ++i) out << std::string(7, c) << std::endl;
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    QCOMPARE(std::count(received.begin(), received.end(), 'a'), 7 * kLines);
    QCOMPARE(std::count(received.begin(), received.end(), 'b'), 7 * kLines);
  }

  // Text without a line feed shows at once; the log keeps the last 200
  // lines; a single write of more is dropped.
  void logKeepsTheLast200Lines() {
    LogEdit log;
    log.appendChunk("progress ");
    log.appendChunk("done");
    QCOMPARE(log.toPlainText(), QString("progress done"));
    log.clear();
    for (int i = 1; i <= 250; i += 10)
      log.appendChunk((i > 1 ? "\n" : "") + numberedLines(i, i + 9).chopped(1));
    QCOMPARE(log.document()->blockCount(), LogEdit::kMaxLines);
    QCOMPARE(log.document()->firstBlock().text(), QString("line 51"));
    QCOMPARE(log.document()->lastBlock().text(), QString("line 250"));
    log.appendChunk(numberedLines(1, 201));
    QCOMPARE(log.document()->lastBlock().text(), QString("line 250"));
  }

  // A selection stays on its text while new output arrives, lines removed at
  // the top included; a caret on the last line follows the output.
  void userSelectionSurvivesNewOutput() {
    LogEdit log;
    log.resize(300, 100);
    log.show();
    log.appendChunk(numberedLines(1, 50).chopped(1));
    QCOMPARE(log.textCursor().blockNumber(), 49);
    QVERIFY(log.viewport()->rect().contains(log.cursorRect()));
    QTextCursor selection(log.document()->findBlockByNumber(9));
    selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    log.setTextCursor(selection);
    log.verticalScrollBar()->setValue(5);
    log.appendChunk("\n" + numberedLines(51, 60).chopped(1));
    QCOMPARE(log.textCursor().selectedText(), QString("line 10"));
    QCOMPARE(log.verticalScrollBar()->value(), 5);
    log.appendChunk("\n" + numberedLines(61, 205).chopped(1));
    QCOMPARE(log.document()->firstBlock().text(), QString("line 6"));
    QCOMPARE(log.textCursor().selectedText(), QString("line 10"));
  }

  void lineNumbersOfErrorAndWarningLines() {
    const std::pair<const char*, std::optional<int>> lines[] = {
        {"error: line 12:5: unexpected token: foo", 12},
        {"warning: line 3: variable 'x' is undefined", 3},
        {"error: line x:5: no digit", std::nullopt},
        {"error: camera statement not found", std::nullopt},
        {" error: line 4: indented", std::nullopt},
    };
    for (const auto& [line, number] : lines) QCOMPARE(logLineNumber(line), number);
  }

  void standardStreamsReachTheBarFromAnyThread() {
    OutputLogBar bar;
    std::thread worker([] { std::cout << "from a build thread" << std::endl; });
    worker.join();
    std::cerr << "from the interface" << std::endl;
    QVERIFY(test::waitFor([&] { return bar.edit()->document()->blockCount() == 2; }));
    QCOMPARE(bar.edit()->toPlainText(), QString("from a build thread\nfrom the interface"));
    bar.clear();
    QCOMPARE(bar.edit()->toPlainText(), QString());
  }
};

QTEST_MAIN(OutputLogTest)
#include "output_log_test.moc"
