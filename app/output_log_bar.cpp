#include "output_log_bar.h"

#include "log_edit.h"
#include "log_line_number.h"
#include "log_stream_buffer.h"

namespace app {

OutputLogBar::OutputLogBar(QWidget* parent) : QDockWidget(tr("Log"), parent), edit_(new LogEdit) {
  setObjectName("OutputLogBar");
  setWidget(edit_);
  connect(edit_, &LogEdit::lineJumpRequested, this, &OutputLogBar::lineJumpRequested);
  LogStreamBuffer::standardStreams().setSink([this](const std::string& chunk) {
    QMetaObject::invokeMethod(
        this, [this, chunk, writer = QThread::currentThread()] { showText(chunk, writer); },
        Qt::QueuedConnection);
  });
}

OutputLogBar::~OutputLogBar() {
  LogStreamBuffer::standardStreams().setSink(nullptr);
}

void OutputLogBar::clear() {
  LogStreamBuffer::standardStreams().clearPending();
  edit_->clear();
  lineStart_.clear();
  lineReported_ = false;
}

void OutputLogBar::scrollToEnd() {
  edit_->scrollToEnd();
}

void OutputLogBar::showText(const std::string& bytes, QThread* writer) {
  edit_->appendChunk(decoder_.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size()))));
  noticeErrorLine(bytes, writer);
}

void OutputLogBar::noticeErrorLine(std::string_view text, QThread* writer) {
  for (char c : text) {
    if (c == '\n') {
      checkErrorLine(true, writer);
      lineStart_.clear();
      lineReported_ = false;
    } else if (lineStart_.size() < kLogLineLookedAt) {
      lineStart_ += c;
    }
  }
  checkErrorLine(false, writer);
}

void OutputLogBar::checkErrorLine(bool lineEnded, QThread* writer) {
  if (lineReported_) return;
  // Digits at the end of a piece may go on in the next.
  const size_t afterNumber = lineStart_.find_first_not_of("0123456789", kErrorLinePrefix.size());
  if (!lineEnded && afterNumber == std::string::npos) return;
  if (const auto line = logErrorLineNumber(lineStart_)) {
    lineReported_ = true;
    emit errorLineLogged(*line, writer);
  }
}

}  // namespace app
