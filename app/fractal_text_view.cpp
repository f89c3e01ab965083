#include "fractal_text_view.h"

#include <QTextBlock>

#include "fractal_doc.h"

namespace app {

CFractal_TextView::CFractal_TextView(CFractal_Doc* doc, QWidget* parent)
    : QPlainTextEdit(parent), doc_(doc) {
  setDocument(doc->text());
  setLineWrapMode(NoWrap);
  QFont font("Courier");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(13);
  setFont(font);
  // Tab stops every 16 dialog units, four average characters.
  setTabStopDistance(fontMetrics().averageCharWidth() * 4);
}

bool CFractal_TextView::goToLine(int line) {
  if (line < 1 || line > document()->blockCount()) return false;
  setTextCursor(QTextCursor(document()->findBlockByNumber(line - 1)));
  ensureCursorVisible();
  return true;
}

}  // namespace app
