#include "log_edit.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <optional>

#include "log_line_number.h"

namespace app {

LogEdit::LogEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(NoWrap);
  // Keep the caret visible and the colours of an editable control.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont font("Courier");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(13);
  setFont(font);
}

int LogEdit::textLength() const {
  return document()->characterCount() - 1;
}

void LogEdit::appendChunk(const QString& chunk) {
  const int newLines = int(chunk.count('\n'));

  struct Remembered {
    int anchor, position, firstLine;
  };
  std::optional<Remembered> kept;
  const QTextCursor current = textCursor();
  const int lastBlock = document()->blockCount() - 1;
  if (document()->findBlock(current.selectionStart()).blockNumber() != lastBlock) {
    kept = Remembered{current.anchor(), current.position(), verticalScrollBar()->value()};
  }

  const int room = kTextLimit - int(chunk.size());
  if (room < 0 || newLines > kMaxLines) return;
  int dropLines = 0;
  if (textLength() > room) dropLines = document()->findBlock(textLength() - room).blockNumber() + 1;
  dropLines = std::max(dropLines, document()->blockCount() + newLines - kMaxLines);

  if (dropLines > 0) {
    const QTextBlock keptBlock = document()->findBlockByNumber(dropLines);
    const int removed = keptBlock.isValid() ? keptBlock.position() : textLength();
    QTextCursor cut(document());
    cut.setPosition(removed, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    if (kept) {
      kept->anchor -= removed;
      kept->position -= removed;
      kept->firstLine = std::max(0, kept->firstLine - dropLines);
      if (std::min(kept->anchor, kept->position) < 0) kept.reset();
    }
  }

  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.insertText(chunk);

  if (kept) {
    QTextCursor selection(document());
    selection.setPosition(kept->anchor);
    selection.setPosition(kept->position, QTextCursor::KeepAnchor);
    setTextCursor(selection);
    verticalScrollBar()->setValue(kept->firstLine);
  } else {
    scrollToEnd();
  }
}

void LogEdit::scrollToEnd() {
  QTextCursor cursor(document()->lastBlock());
  setTextCursor(cursor);
  ensureCursorVisible();
}

void LogEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton &&
      event->modifiers() == Qt::NoModifier) {
    const QString text = cursorForPosition(event->position().toPoint()).block().text();
    if (auto line = logLineNumber(text.left(29).toStdString())) emit lineJumpRequested(*line);
  }
  QPlainTextEdit::mouseDoubleClickEvent(event);
}

}  // namespace app
