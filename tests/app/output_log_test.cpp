#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <iostream>
#include <ostream>
#include <sstream>
#include <thread>

#include "app/log_edit.h"
#include "app/log_line_number.h"
#include "app/log_stream_buffer.h"
#include "app/output_log_bar.h"
#include "app/pending_log_text.h"
#include "test_support.h"

using namespace app;

namespace {

QString numberedLines(int first, int last) {
  QString text;
  for (int i = first; i <= last; ++i) text += QString("line %1\n").arg(i);
  return text;
}

// Feeds the log the way the stream buffer does: a final line feed waits for
// the next text.
void writeToLog(LogEdit& log, PendingLogText& pending, const QString& text) {
  const std::string chunk = pending.take(text.toStdString(), false);
  if (!chunk.empty()) log.appendChunk(QString::fromStdString(chunk));
}

}  // namespace

class OutputLogTest : public QObject {
  Q_OBJECT
 private slots:
  void pendingTextHoldsBackTheFinalLineFeed() {
    PendingLogText pending;
    QCOMPARE(pending.take("one\n", false), std::string("one"));
    QCOMPARE(pending.take("two", false), std::string("\ntwo"));
    QCOMPARE(pending.take("\n", false), std::string());
    QCOMPARE(pending.take("three\n", false), std::string("\nthree"));
  }

  void pendingTextWaitsWhileHolding() {
    PendingLogText pending;
    QCOMPARE(pending.take("while waiting\n", true), std::string());
    QCOMPARE(pending.take("", false), std::string("while waiting"));
  }

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
  }

  void streamBufferWithoutSinkWritesToTheFallback() {
    std::stringbuf fallback;
    LogStreamBuffer buffer(&fallback);
    std::ostream out(&buffer);
    out << "before the log" << std::endl;
    QCOMPARE(QString::fromStdString(fallback.str()), QString("before the log\n"));
  }

  void streamBufferCollectsDuringStopWait() {
    LogStreamBuffer buffer(nullptr);
    QStringList chunks;
    buffer.setSink([&](const std::string& chunk) { chunks << QString::fromStdString(chunk); });
    std::ostream out(&buffer);
    LogStreamBuffer::stopWait = true;
    out << "interrupted: 1 sec" << std::endl;
    LogStreamBuffer::stopWait = false;
    QVERIFY(chunks.isEmpty());
    out.flush();
    QCOMPARE(chunks, QStringList{"interrupted: 1 sec"});
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

  void logKeepsTheLast200Lines() {
    LogEdit log;
    PendingLogText pending;
    for (int i = 1; i <= 250; ++i) writeToLog(log, pending, QString("line %1\n").arg(i));
    QCOMPARE(log.document()->blockCount(), LogEdit::kMaxLines);
    QCOMPARE(log.document()->firstBlock().text(), QString("line 51"));
    QCOMPARE(log.document()->lastBlock().text(), QString("line 250"));
  }

  void aSingleWriteOfMoreThan200LinesIsDropped() {
    LogEdit log;
    log.appendChunk("kept");
    log.appendChunk(numberedLines(1, 201));
    QCOMPARE(log.toPlainText(), QString("kept"));
    log.appendChunk(numberedLines(1, 200).chopped(1));
    QCOMPARE(log.document()->blockCount(), 200);
  }

  void textWithoutLineFeedShowsAtOnce() {
    LogEdit log;
    PendingLogText pending;
    writeToLog(log, pending, "progress ");
    QCOMPARE(log.toPlainText(), QString("progress "));
    writeToLog(log, pending, "done\n");
    QCOMPARE(log.toPlainText(), QString("progress done"));
    writeToLog(log, pending, "next\n");
    QCOMPARE(log.toPlainText(), QString("progress done\nnext"));
  }

  void userSelectionSurvivesNewOutput() {
    LogEdit log;
    log.resize(300, 100);
    log.show();
    log.appendChunk(numberedLines(1, 50).chopped(1));
    QTextCursor selection(log.document()->findBlockByNumber(9));
    selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    log.setTextCursor(selection);
    log.verticalScrollBar()->setValue(5);

    log.appendChunk("\n" + numberedLines(51, 60).chopped(1));
    QCOMPARE(log.textCursor().selectedText(), QString("line 10"));
    QCOMPARE(log.verticalScrollBar()->value(), 5);

    // Lines removed at the top shift the selection with the text.
    log.appendChunk("\n" + numberedLines(61, 205).chopped(1));
    QCOMPARE(log.document()->firstBlock().text(), QString("line 6"));
    QCOMPARE(log.textCursor().selectedText(), QString("line 10"));
  }

  void caretOnTheLastLineFollowsTheOutput() {
    LogEdit log;
    log.resize(300, 100);
    log.show();
    log.appendChunk(numberedLines(1, 100).chopped(1));
    QCOMPARE(log.textCursor().blockNumber(), 99);
    QVERIFY(log.verticalScrollBar()->value() > 0);
    QVERIFY(log.viewport()->rect().contains(log.cursorRect()));
  }

  void lineNumbersOfErrorAndWarningLines() {
    QCOMPARE(logLineNumber("error: line 12:5: unexpected token: foo"), std::optional<int>(12));
    QCOMPARE(logLineNumber("warning: line 3: variable 'x' is undefined"), std::optional<int>(3));
    QCOMPARE(logLineNumber("error: line x:5: no digit"), std::optional<int>());
    QCOMPARE(logLineNumber("error: camera statement not found"), std::optional<int>());
    QCOMPARE(logLineNumber("finished: 5 sec 250 ms"), std::optional<int>());
    QCOMPARE(logLineNumber(" error: line 4: indented"), std::optional<int>());
  }

  void doubleClickOnAnErrorLineAsksForTheLine() {
    OutputLogBar bar;
    bar.resize(400, 200);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.edit()->appendChunk("building: test\nerror: line 7:3: unexpected token: x\nfinished: 1 ms");
    QSignalSpy jumps(&bar, &OutputLogBar::lineJumpRequested);
    const QRect line =
        bar.edit()->cursorRect(QTextCursor(bar.edit()->document()->findBlockByNumber(1)));
    QTest::mouseDClick(bar.edit()->viewport(), Qt::LeftButton, {}, line.center() + QPoint(20, 0));
    QCOMPARE(jumps.count(), 1);
    QCOMPARE(jumps.first().first().toInt(), 7);

    const QRect other = bar.edit()->cursorRect(QTextCursor(bar.edit()->document()->firstBlock()));
    QTest::mouseDClick(bar.edit()->viewport(), Qt::LeftButton, {}, other.center() + QPoint(20, 0));
    QTest::mouseDClick(bar.edit()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                       line.center() + QPoint(20, 0));
    QCOMPARE(jumps.count(), 1);
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
