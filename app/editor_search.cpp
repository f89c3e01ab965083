#include "editor_search.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace app {

bool findNext(QPlainTextEdit& editor, const QString& text) {
  if (text.isEmpty()) return false;
  if (editor.find(text)) return true;
  QTextCursor wrapped = editor.document()->find(text, 0);
  if (wrapped.isNull()) return false;
  editor.setTextCursor(wrapped);
  return true;
}

int replaceAll(QPlainTextEdit& editor, const QString& text, const QString& replacement) {
  if (text.isEmpty()) return 0;
  QTextDocument* document = editor.document();
  QTextCursor edit(document);
  edit.beginEditBlock();
  int count = 0;
  for (QTextCursor found = document->find(text, 0); !found.isNull();
       found = document->find(text, found)) {
    found.insertText(replacement);
    ++count;
  }
  edit.endEditBlock();
  return count;
}

}  // namespace app
