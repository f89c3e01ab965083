#include "script_spans.h"

#include <algorithm>
#include <string>

#include "FractalLexer.hpp"
#include "lang/memory_input_buffer.h"
#include "lang/script_token.h"

namespace app {

namespace {

using Types = lang::FractalLexerTokenTypes;

constexpr int kDepthLimit = 255;

bool isNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isNameChar(char c) {
  return isNameStart(c) || (c >= '0' && c <= '9');
}

bool isBlank(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= ' ' || byte >= 0x7F;
}

bool isMapCall(int type) {
  switch (type) {
    case Types::LITERAL_id:
    case Types::LITERAL_scale:
    case Types::LITERAL_translate:
    case Types::LITERAL_rotate:
    case Types::LITERAL_reflect:
    case Types::LITERAL_stretch:
    case Types::LITERAL_inverse:
    case Types::LITERAL_matrix:
    case Types::LITERAL_affine2d:
    case Types::LITERAL_rotate_v:
    case Types::LITERAL_weight:
    case Types::LITERAL_bound:
    case Types::LITERAL_empty:
      return true;
    default:
      return false;
  }
}

// The lexer of a stretch of one line; it notes where its last token began,
// so that a stretch it cannot read is known.
class LineLexer : public lang::FractalLexer {
 public:
  explicit LineLexer(lang::MemoryInputBuffer& input) : FractalLexer(input), input_(input) {}
  void resetText() override {
    attemptStart = input_.position();
    FractalLexer::resetText();
  }
  size_t attemptStart = 0;

 private:
  lang::MemoryInputBuffer& input_;
};

class LineColoring {
 public:
  LineColoring(const QString& line, ScriptLineState& state, const QSet<QString>& aliases)
      : state_(state), aliases_(aliases) {
    // The lexer reads bytes; characters beyond Latin-1 stand in as a byte it
    // reads as blank in code and as itself in strings and comments.
    bytes_.reserve(size_t(line.size()));
    for (QChar c : line) bytes_ += c.unicode() <= 0xFF ? char(c.unicode()) : char(0xFF);
    length_ = int(line.size());
  }

  QList<ScriptSpan> run() {
    const int from = continueOpen();
    if (from < length_) lex(from, length_);
    return spans_;
  }

 private:
  void add(int start, int end, ScriptSpanKind kind) {
    end = std::min(end, length_);
    if (end > start) spans_.append({start, end - start, kind});
  }

  int find(const char* what, int from, int to) const {
    const size_t at = bytes_.substr(0, size_t(to)).find(what, size_t(from));
    return at == std::string::npos ? -1 : int(at);
  }

  // The end of a comment or string that an earlier line left open.
  int continueOpen() {
    if (state_.open == ScriptLineState::Comment) {
      const int close = find("*/", 0, length_);
      if (close < 0) return add(0, length_, ScriptSpanKind::Comment), length_;
      add(0, close + 2, ScriptSpanKind::Comment);
      state_.open = ScriptLineState::Nothing;
      return close + 2;
    }
    if (state_.open == ScriptLineState::Nothing) return 0;
    const char quote = state_.open == ScriptLineState::DoubleQuoted ? '"' : '\'';
    for (int i = 0; i < length_; ++i) {
      if (bytes_[size_t(i)] == '\\' && i + 1 < length_ && bytes_[size_t(i) + 1] == quote) {
        ++i;
      } else if (bytes_[size_t(i)] == quote) {
        add(0, i + 1, ScriptSpanKind::String);
        state_.open = ScriptLineState::Nothing;
        return i + 1;
      }
    }
    add(0, length_, ScriptSpanKind::String);
    return length_;
  }

  // Colours [from, to) by the lexer's tokens; a line feed ends the text, as
  // a comment to the end of the line needs one.
  void lex(int from, int to) {
    const std::string text = bytes_.substr(size_t(from), size_t(to - from)) + '\n';
    int cursor = 0;
    while (cursor < int(text.size())) {
      lang::MemoryInputBuffer input(text);
      input.seek(size_t(cursor));
      LineLexer lexer(input);
      try {
        for (;;) {
          const antlr::RefToken token = lexer.nextToken();
          if (token->getType() == antlr::Token::EOF_TYPE) {
            skipped(from + cursor, to);
            return;
          }
          const int start = int(lang::offsetOf(token));
          if (start < cursor) continue;  // read again from the body of an alias
          const bool word = isNameStart(text[size_t(start)]);
          const int end = word ? start + int(token->getText().size()) : int(input.position());
          skipped(from + cursor, from + start);
          colorToken(token, word, from + start, from + end);
          cursor = end;
        }
      } catch (const antlr::ANTLRException&) {
        // Inside an alias body the failure lies before the cursor; going on
        // from the cursor keeps every restart ahead of the last.
        const int failed = std::max(int(lexer.attemptStart), cursor);
        skipped(from + cursor, from + failed);
        cursor = recover(to, from + failed) - from;
      }
    }
  }

  // Where to go on after a token that the lexer could not read at `at`: a
  // comment or string that the line leaves open runs to its end.
  int recover(int to, int at) {
    const char c = bytes_[size_t(at)];
    if (c == '"' || c == '\'') {
      add(at, to, ScriptSpanKind::String);
      state_.open = c == '"' ? ScriptLineState::DoubleQuoted : ScriptLineState::SingleQuoted;
      return to;
    }
    // A name reads the comments after it, so an open comment fails there.
    const int comment = isNameStart(c) || c == '/' ? find("/*", at, to) : -1;
    if (comment >= 0) {
      if (comment > at) lex(at, comment);
      add(comment, to, ScriptSpanKind::Comment);
      state_.open = ScriptLineState::Comment;
      return to;
    }
    int next = at + 1;
    while (isNameStart(c) && next < to && isNameChar(bytes_[size_t(next)])) ++next;
    return next;
  }

  // Text the lexer skipped: blanks, comments, alias definitions and uses.
  void skipped(int from, int to) {
    int i = from;
    while (i < to) {
      const char c = bytes_[size_t(i)];
      const char next = i + 1 < to ? bytes_[size_t(i) + 1] : '\0';
      if (c == '#' || (c == '/' && next == '/')) {
        add(i, to, ScriptSpanKind::Comment);
        return;
      }
      if (c == '/' && next == '*') {
        const int close = find("*/", i + 2, to);
        const int end = close < 0 ? to : close + 2;
        add(i, end, ScriptSpanKind::Comment);
        i = end;
      } else if (isNameStart(c)) {
        i = skippedName(i, to);
      } else {
        ++i;
      }
    }
  }

  // An alias: its body (up to the ';') is coloured as script of its own.
  int skippedName(int i, int to) {
    while (i < to && isNameChar(bytes_[size_t(i)])) ++i;
    int after = i;
    while (after < to && isBlank(bytes_[size_t(after)])) ++after;
    if (find(":=", after, to) != after) return i;
    const int bodyStart = after + 2;
    const int semicolon = find(";", bodyStart, to);
    const int bodyEnd = semicolon < 0 ? to : semicolon;
    const ScriptLineState outer = state_;
    state_ = {};
    lex(bodyStart, bodyEnd);
    state_ = outer;
    return semicolon < 0 ? to : semicolon + 1;
  }

  void colorToken(const antlr::RefToken& token, bool word, int start, int end) {
    const int type = token->getType();
    switch (type) {
      case Types::INTEGER:
      case Types::DOUBLE:
      case Types::HEXNUMBER:
        return add(start, end, ScriptSpanKind::Number);
      case Types::STRING_LITERAL:
      case Types::QUOTED_STRING:
        return add(start, end, ScriptSpanKind::String);
      case Types::LITERAL_set:
      case Types::LITERAL_build:
        state_.inSetStatement = true;
        state_.depth = 0;
        break;
      case Types::SEMI:
        state_.inSetStatement = false;
        break;
      case Types::LPAREN:
      case Types::LBRACK:
        state_.depth = std::min(state_.depth + 1, kDepthLimit);
        break;
      case Types::RPAREN:
      case Types::RBRACK:
        state_.depth = std::max(state_.depth - 1, 0);
        break;
      case Types::ID:
        if (state_.inSetStatement && state_.depth == 0 &&
            !aliases_.contains(QString::fromStdString(token->getText()))) {
          add(start, end, ScriptSpanKind::SetName);
        }
        return;
      default:
        break;
    }
    if (word) add(start, end, isMapCall(type) ? ScriptSpanKind::MapName : ScriptSpanKind::Keyword);
  }

  ScriptLineState& state_;
  const QSet<QString>& aliases_;
  std::string bytes_;
  int length_ = 0;
  QList<ScriptSpan> spans_;
};

}  // namespace

int ScriptLineState::pack() const {
  return int(open) | (inSetStatement ? 4 : 0) | (std::clamp(depth, 0, kDepthLimit) << 3);
}

ScriptLineState ScriptLineState::unpack(int packed) {
  if (packed < 0) return {};
  ScriptLineState state;
  state.open = Open(packed & 3);
  state.inSetStatement = (packed & 4) != 0;
  state.depth = packed >> 3;
  return state;
}

QList<ScriptSpan> scriptSpans(const QString& line, ScriptLineState& state,
                              const QSet<QString>& aliases) {
  return LineColoring(line, state, aliases).run();
}

QSet<QString> aliasNames(const QString& script) {
  QSet<QString> names;
  for (qsizetype at = script.indexOf(":="); at >= 0; at = script.indexOf(":=", at + 2)) {
    qsizetype end = at;
    while (end > 0 && script[end - 1].isSpace()) --end;
    qsizetype start = end;
    while (start > 0 && script[start - 1].unicode() < 0x80 &&
           isNameChar(char(script[start - 1].unicode()))) {
      --start;
    }
    if (start < end && isNameStart(char(script[start].unicode()))) {
      names.insert(script.mid(start, end - start));
    }
  }
  return names;
}

}  // namespace app
