#include "editor_search.h"

#include <QPlainTextEdit>

namespace app {

bool findNext(QPlainTextEdit& editor, const QString& text, QTextDocument::FindFlags flags) {
  if (text.isEmpty()) return false;
  if (editor.find(text, flags)) return true;
  QTextDocument* document = editor.document();
  const int restart = flags & QTextDocument::FindBackward ? document->characterCount() - 1 : 0;
  QTextCursor wrapped = document->find(text, restart, flags);
  if (wrapped.isNull()) return false;
  editor.setTextCursor(wrapped);
  return true;
}

bool replaceSelected(QPlainTextEdit& editor, const QString& text, const QString& replacement,
                     QTextDocument::FindFlags flags) {
  QTextCursor selection = editor.textCursor();
  const Qt::CaseSensitivity sensitivity =
      flags & QTextDocument::FindCaseSensitively ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const bool replaced = !text.isEmpty() && selection.selectedText().compare(text, sensitivity) == 0;
  if (replaced) {
    selection.insertText(replacement);
    editor.setTextCursor(selection);
  }
  findNext(editor, text, flags & ~QTextDocument::FindBackward);
  return replaced;
}

int replaceAll(QPlainTextEdit& editor, const QString& text, const QString& replacement,
               QTextDocument::FindFlags flags) {
  if (text.isEmpty()) return 0;
  QTextDocument* document = editor.document();
  QTextCursor edit(document);
  edit.beginEditBlock();
  int count = 0;
  for (QTextCursor found = document->find(text, 0, flags); !found.isNull();
       found = document->find(text, found, flags)) {
    found.insertText(replacement);
    ++count;
  }
  edit.endEditBlock();
  return count;
}

}  // namespace app
