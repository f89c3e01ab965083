#include "script_highlighter.h"

#include <QTextDocument>

namespace app {

ScriptHighlighter::ScriptHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
  connect(document, &QTextDocument::contentsChanged, this, &ScriptHighlighter::followAliases);
}

void ScriptHighlighter::followAliases() {
  QSet<QString> aliases = aliasNames(document()->toPlainText());
  if (aliases == aliases_) return;
  aliases_ = std::move(aliases);
  // Not while the document reports its change.
  QMetaObject::invokeMethod(this, &QSyntaxHighlighter::rehighlight, Qt::QueuedConnection);
}

QTextCharFormat ScriptHighlighter::format(ScriptSpanKind kind) {
  QTextCharFormat format;
  switch (kind) {
    case ScriptSpanKind::Keyword:
      format.setForeground(QColor(0x00, 0x33, 0x99));
      format.setFontWeight(QFont::Bold);
      break;
    case ScriptSpanKind::MapName:
      format.setForeground(QColor(0x7a, 0x1f, 0xa2));
      break;
    case ScriptSpanKind::Number:
      format.setForeground(QColor(0x0b, 0x7a, 0x75));
      break;
    case ScriptSpanKind::String:
      format.setForeground(QColor(0xa3, 0x15, 0x15));
      break;
    case ScriptSpanKind::Comment:
      format.setForeground(QColor(0x3f, 0x7f, 0x3f));
      format.setFontItalic(true);
      break;
    case ScriptSpanKind::SetName:
      format.setForeground(QColor(0xb0, 0x5a, 0x00));
      format.setFontWeight(QFont::DemiBold);
      break;
  }
  return format;
}

void ScriptHighlighter::highlightBlock(const QString& text) {
  ScriptLineState state = ScriptLineState::unpack(previousBlockState());
  for (const ScriptSpan& span : scriptSpans(text, state, aliases_)) {
    setFormat(span.start, span.length, format(span.kind));
  }
  setCurrentBlockState(state.pack());
}

}  // namespace app
