#include "output_log_bar.h"

#include "log_edit.h"
#include "log_stream_buffer.h"

namespace app {

OutputLogBar::OutputLogBar(QWidget* parent) : QDockWidget(tr("Log"), parent), edit_(new LogEdit) {
  setObjectName("OutputLogBar");
  setWidget(edit_);
  connect(edit_, &LogEdit::lineJumpRequested, this, &OutputLogBar::lineJumpRequested);
  LogStreamBuffer::standardStreams().setSink([this](const std::string& chunk) {
    QMetaObject::invokeMethod(
        this, [this, chunk] { showText(chunk); }, Qt::QueuedConnection);
  });
}

OutputLogBar::~OutputLogBar() {
  LogStreamBuffer::standardStreams().setSink(nullptr);
}

void OutputLogBar::clear() {
  LogStreamBuffer::standardStreams().clearPending();
  edit_->clear();
}

void OutputLogBar::scrollToEnd() {
  edit_->scrollToEnd();
}

void OutputLogBar::showText(const std::string& bytes) {
  edit_->appendChunk(decoder_.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size()))));
}

}  // namespace app
