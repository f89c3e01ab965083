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
  atLineStart_ = true;
}

void OutputLogBar::scrollToEnd() {
  edit_->scrollToEnd();
}

void OutputLogBar::showText(const std::string& bytes, QThread* writer) {
  edit_->appendChunk(decoder_.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size()))));
  // Only whole lines start with an error's prefix; the first piece of a run
  // may continue a line shown before.
  std::string_view rest(bytes);
  for (bool lineStart = atLineStart_; !rest.empty(); lineStart = true) {
    const size_t end = rest.find('\n');
    if (lineStart) {
      if (const auto line = logErrorLineNumber(rest.substr(0, end)))
        emit errorLineLogged(*line, writer);
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  if (!bytes.empty()) atLineStart_ = bytes.back() == '\n';
}

}  // namespace app
