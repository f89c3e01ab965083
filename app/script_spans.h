#pragma once

#include <QList>
#include <QSet>
#include <QString>

namespace app {

// What a stretch of script text is, for the editor's colours.
enum class ScriptSpanKind { Keyword, MapName, Number, String, Comment, SetName };

struct ScriptSpan {
  int start = 0;
  int length = 0;
  ScriptSpanKind kind = ScriptSpanKind::Keyword;
  bool operator==(const ScriptSpan&) const = default;
};

// What a line leaves open for the next one: a comment or a string that goes
// on, and whether a set or build statement goes on (with its bracket depth),
// so that the names in its next lines are known as set names.
struct ScriptLineState {
  enum Open { Nothing, Comment, DoubleQuoted, SingleQuoted };
  Open open = Nothing;
  bool inSetStatement = false;
  int depth = 0;

  // QSyntaxHighlighter keeps one int per block; -1 means none.
  int pack() const;
  static ScriptLineState unpack(int packed);
};

// Splits one line of a script into coloured spans with the scene language's
// own lexer, so the colours follow the grammar: words the lexer reports as
// literals are keywords (map calls as map names), its numbers and strings are
// numbers and strings; what it skipped is a comment, or an alias definition
// whose body is coloured as script. Names at the top level of a set or build
// statement are set names, unless they are `aliases`. `state` is what the
// previous line left open; it is updated for the next.
QList<ScriptSpan> scriptSpans(const QString& line, ScriptLineState& state,
                              const QSet<QString>& aliases = {});
// The names that a script defines as aliases ("name := body;").
QSet<QString> aliasNames(const QString& script);

}  // namespace app
