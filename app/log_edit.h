#pragma once

#include <QPlainTextEdit>

namespace app {

// The read-only text of the Output Log, capped at 200 lines. New text is
// appended at the end; a selection the user made above the last line stays,
// and the view then does not jump to the end.
class LogEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  static constexpr int kMaxLines = 200;
  // Characters the log holds at most.
  static constexpr int kTextLimit = 32767;

  explicit LogEdit(QWidget* parent = nullptr);

  // Appends a run of text; line feeds start new lines. A run of more than
  // 200 lines, or longer than the text limit, is dropped.
  void appendChunk(const QString& chunk);
  // Puts the caret at the start of the last line and scrolls it into view.
  void scrollToEnd();

 signals:
  // A double click on an "error: line N" or "warning: line N" line.
  void lineJumpRequested(int line);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int textLength() const;
};

}  // namespace app
