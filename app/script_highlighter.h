#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include "script_spans.h"

namespace app {

// Colours a script in the editor by the spans the language's lexer finds;
// a comment or string that a line leaves open is kept as the block state.
class ScriptHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  explicit ScriptHighlighter(QTextDocument* document);

  static QTextCharFormat format(ScriptSpanKind kind);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  // Aliases are no set names; a change of them colours the text again.
  void followAliases();

  QSet<QString> aliases_;
};

}  // namespace app
