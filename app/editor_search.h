#pragma once

#include <QString>
#include <QTextDocument>

class QPlainTextEdit;

namespace app {

// Selects the next occurrence of `text` after the caret (before it with
// FindBackward), going round the text's end; false when there is none.
bool findNext(QPlainTextEdit& editor, const QString& text, QTextDocument::FindFlags flags = {});
// Replaces the selection when it is an occurrence of `text`, then selects the
// next one; false when nothing was replaced.
bool replaceSelected(QPlainTextEdit& editor, const QString& text, const QString& replacement,
                     QTextDocument::FindFlags flags = {});
// Replaces every occurrence as one undoable edit; returns the count.
int replaceAll(QPlainTextEdit& editor, const QString& text, const QString& replacement,
               QTextDocument::FindFlags flags = {});

}  // namespace app
