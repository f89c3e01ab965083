#pragma once

#include <QString>

class QPlainTextEdit;

namespace app {

// Selects the next occurrence of `text` after the caret, continuing from the
// start of the text; false when there is none.
bool findNext(QPlainTextEdit& editor, const QString& text);
// Replaces every occurrence as one undoable edit; returns the count.
int replaceAll(QPlainTextEdit& editor, const QString& text, const QString& replacement);

}  // namespace app
