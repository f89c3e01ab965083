#include <QActionGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTextBlock>
#include <QTextLayout>
#include <optional>

#include "FractalLexer.hpp"
#include "app/default_scene.h"
#include "app/find_bar.h"
#include "app/fractal_text_view.h"
#include "app/script_highlighter.h"
#include "app/script_spans.h"
#include "lang/memory_input_buffer.h"
#include "lang/script_token.h"
#include "test_support.h"

using namespace app;

namespace {

using Kind = ScriptSpanKind;
using Types = lang::FractalLexerTokenTypes;

// The kind the editor coloured the character at `position` with; nothing
// when it is plain.
std::optional<Kind> kindAt(const QTextDocument& text, int position) {
  const QTextBlock block = text.findBlock(position);
  const int column = position - block.position();
  for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
    if (column < range.start || column >= range.start + range.length) continue;
    for (Kind kind :
         {Kind::Keyword, Kind::MapName, Kind::Number, Kind::String, Kind::Comment, Kind::SetName}) {
      if (range.format == ScriptHighlighter::format(kind)) return kind;
    }
  }
  return std::nullopt;
}

// Where the n-th (from 0) occurrence of `fragment` starts.
int nthIndex(const QString& text, const QString& fragment, int n) {
  int at = -1;
  for (int i = 0; i <= n; ++i) at = text.indexOf(fragment, at + 1);
  return at;
}

}  // namespace

class EditorTest : public test::MainWindowTest {
  Q_OBJECT

  CFractal_TextView* activeEditor() const {
    return qobject_cast<CFractal_TextView*>(
        frame_->findChild<QMdiArea*>()->currentSubWindow()->widget());
  }
  // The error line the document's editor shows, from its marks: 0 for none.
  int markedLine(CFractal_Doc* doc) const {
    CFractal_TextView* editor = nullptr;
    for (auto* view : frame_->findChildren<CFractal_TextView*>()) {
      if (view->fractalDoc() == doc) editor = view;
    }
    for (const QTextEdit::ExtraSelection& mark : editor->extraSelections()) {
      if (mark.format.underlineStyle() == QTextCharFormat::WaveUnderline) {
        return mark.cursor.blockNumber() + 1;
      }
    }
    return 0;
  }

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  // One line at a time: the fragment is one span of that kind, or in none.
  // (Keywords and numbers as such: every token of a script, below.)
  void linesAreColouredByTheLexersTokens() {
    const struct {
      const char* line;
      const char* fragment;
      std::optional<Kind> kind;
    } cases[] = {
        {"camerax = 1;", "camerax", std::nullopt},
        {"set T = translate(0.5, 0, 0) scale(0.5) T + weight(2) Floor;", "T", Kind::SetName},
        {"set T = translate(0.5, 0, 0) scale(0.5) T + weight(2) Floor;", "translate",
         Kind::MapName},
        {"set T = translate(0.5, 0, 0) scale(0.5) T + weight(2) Floor;", "Floor", Kind::SetName},
        {"set S = scale(a) S;", "(a)", std::nullopt},
        {"echo \"a // b\" 'c';", "\"a // b\"", Kind::String},
        {"build T; color(1) // the end", "// the end", Kind::Comment},
        {"half := scale(0.5); # alias", "scale", Kind::MapName},
        {"half := scale(0.5); # alias", "# alias", Kind::Comment},
        {"camera /* c */ fov(40);", "/* c */", Kind::Comment},
        {"camera /* c */ fov(40);", "fov", Kind::Keyword},
        {"x = sin(PI) + max(1, 2);", "PI", Kind::Keyword},
        {"light @ position(1);", "position", Kind::Keyword},
        {"a := 1 @; b = a + 2;", "2", Kind::Number},  // a body that cannot be read
    };
    for (const auto& c : cases) {
      const QString line = c.line, fragment = c.fragment;
      const int at = line.indexOf(fragment);
      ScriptLineState state;
      const QList<ScriptSpan> spans = scriptSpans(line, state);
      std::optional<Kind> found;
      bool exact = true;
      for (const ScriptSpan& span : spans) {
        if (span.start >= at + fragment.size() || span.start + span.length <= at) continue;
        found = span.kind;
        exact = span.start == at && span.length == fragment.size();
      }
      QVERIFY2(found == c.kind && (!found || exact), qPrintable(line + " | " + fragment));
    }
  }

  // Comments, strings and set statements go on over lines; the editor's
  // document keeps the state from block to block. Aliases are known in
  // every line.
  void stateCarriesOverLines() {
    const struct {
      const char* script;
      const char* fragment;
      int occurrence;
      std::optional<Kind> kind;
    } cases[] = {
        {"/* one\ntwo\nthree */ camera", "two", 0, Kind::Comment},
        {"/* one\ntwo\nthree */ camera", "camera", 0, Kind::Keyword},
        {"set A = scale(0.5) A\n  + translate(1, 0, 0) A;\nx = A;", "A", 2, Kind::SetName},
        {"set A = scale(0.5) A\n  + translate(1, 0, 0) A;\nx = A;", "A", 3, std::nullopt},
        {"echo \"first\nsecond\" fov(1);", "second", 0, Kind::String},
        {"echo \"first\nsecond\" fov(1);", "fov", 0, Kind::Keyword},
        {"half := scale(0.5);\nset T = half T;", "half", 1, std::nullopt},  // an alias
        {"half := scale(0.5);\nset T = half T;", "T", 1, Kind::SetName},
    };
    CFractal_Doc* doc = frame_->newDocument();
    for (const auto& c : cases) {
      doc->text()->setPlainText(c.script);
      QCoreApplication::processEvents();  // a new alias colours the text again
      const int at = nthIndex(c.script, c.fragment, c.occurrence);
      QVERIFY2(kindAt(*doc->text(), at) == c.kind, c.script);
    }
  }

  // Over a whole script, every token the lexer reads is coloured by its type.
  void everyTokenOfAScriptHasTheColourOfItsType() {
    CFractal_Doc* doc = frame_->newDocument();
    doc->replaceScript(std::string(DefaultScene::kScript) + "x = 0x10 * .5; echo 'v' \"w\";\n");
    const std::string bytes = doc->text()->toPlainText().toStdString();
    lang::MemoryInputBuffer input(bytes);
    lang::FractalLexer lexer(input);
    int checked = 0;
    for (antlr::RefToken token = lexer.nextToken(); token->getType() != antlr::Token::EOF_TYPE;
         token = lexer.nextToken()) {
      const int type = token->getType();
      const std::optional<Kind> kind = kindAt(*doc->text(), int(lang::offsetOf(token)));
      const bool word = std::isalpha(static_cast<unsigned char>(bytes[lang::offsetOf(token)]));
      if (type == Types::INTEGER || type == Types::DOUBLE || type == Types::HEXNUMBER) {
        QCOMPARE(kind, Kind::Number);
      } else if (type == Types::STRING_LITERAL || type == Types::QUOTED_STRING) {
        QCOMPARE(kind, Kind::String);
      } else if (word && type != Types::ID) {
        QVERIFY2(kind == Kind::Keyword || kind == Kind::MapName, token->getText().c_str());
      } else if (!word) {
        QCOMPARE(kind, std::nullopt);
      }
      ++checked;
    }
    QVERIFY(checked > 80);
  }

  // A failed build marks its error line in the editor, on the build's
  // thread or in the pre-scan, in the document that failed; the next build
  // clears it.
  void theErrorMarkFollowsTheBuild() {
    const struct {
      const char* script;
      int line;
    } cases[] = {{"a;\nfail;\nc;", 2}, {"unscannable;\nb;", 1}, {"a;\nb;", 0}};
    CFractal_Doc* doc = newDocument("");
    for (const auto& c : cases) {
      doc->text()->setPlainText(c.script);
      QVERIFY(buildToEnd(doc));
      QVERIFY(test::waitFor([&] { return doc->errorLine() == c.line; }));
      QCOMPARE(markedLine(doc), c.line);
    }
    doc->text()->setPlainText("a;\nfail;");
    QVERIFY(buildToEnd(doc) && test::waitFor([&] { return doc->errorLine() == 2; }));
    QTextCursor(doc->text()).insertText("// new first line\n");
    QCOMPARE(markedLine(doc), 3);  // the mark moves with its line

    // A build that started later does not take the error of another.
    CFractal_Doc* other = newDocument("endless");
    doc->build();
    other->build();
    QVERIFY(test::waitFor([&] { return doc->errorLine() == 2 && !doc->isBuilding(); }));
    QCOMPARE(other->errorLine(), 0);
    other->stop();
    QVERIFY(test::waitFor([&] { return !other->isBuilding(); }));
  }

  // A camera rewritten with 17 digits stays on screen: long lines wrap.
  void longLinesWrapInsideTheEditor() {
    newDocument(
        "camera position(0.12345678901234567, 1.2345678901234567, "
        "-4.9876543210987654) direction(0.1235, -0.2346, 0.9630);");
    CFractal_TextView* view = activeEditor();
    view->resize(260, 200);
    QTest::qWait(1);
    QVERIFY(view->document()->firstBlock().layout()->lineCount() > 1);
  }

  void findBarFindsAndReplaces() {
    enum Op { Next, Previous, Replace, ReplaceAll };
    const QString text = "Alpha beta alpha\nALPHA gamma";
    const struct {
      int caret;
      Op op;
      const char* find;
      bool matchCase;
      int selected;  // where the selection starts after; -1 none
      const char* after;
    } cases[] = {
        {0, Next, "alpha", false, 0, nullptr},
        {0, Next, "alpha", true, 11, nullptr},
        {12, Next, "alpha", false, 17, nullptr},
        {20, Next, "alpha", true, 11, nullptr},
        {0, Previous, "gamma", false, 23, nullptr},
        {6, Previous, "alpha", false, 0, nullptr},
        {0, Replace, "beta", false, 6, nullptr},  // selects first, replaces on the next press
        {0, ReplaceAll, "alpha", false, -1, "x beta x\nx gamma"},
        {0, ReplaceAll, "alpha", true, -1, "Alpha beta x\nALPHA gamma"},
    };
    frame_->newDocument();
    CFractal_TextView* view = activeEditor();
    FindBar* bar = view->findBar();
    for (const auto& c : cases) {
      view->setPlainText(text);
      QTextCursor caret(view->document());
      caret.setPosition(c.caret);
      view->setTextCursor(caret);
      bar->findField()->setText(c.find);
      bar->replaceField()->setText("x");
      bar->matchCase()->setChecked(c.matchCase);
      if (c.op == Next) bar->findNext();
      if (c.op == Previous) bar->findPrevious();
      if (c.op == Replace) QVERIFY(!bar->replace());
      if (c.op == ReplaceAll) bar->replaceAll();
      const QTextCursor after = view->textCursor();
      QCOMPARE(after.hasSelection() ? after.selectionStart() : -1, c.selected);
      QCOMPARE(view->toPlainText(), c.after ? QString(c.after) : text);
    }
    QCOMPARE(bar->report(), QString("1 replaced"));
    view->undo();  // all replacements are one step
    QCOMPARE(view->toPlainText(), text);
    bar->findField()->setText("beta");
    QVERIFY(bar->findNext() && bar->replace());
    QCOMPARE(view->toPlainText(), QString("Alpha x alpha\nALPHA gamma"));
    bar->findField()->setText("delta");
    QVERIFY(!bar->findNext());
    QCOMPARE(bar->report(), QString("Cannot find \"delta\""));
  }

  // Find and Replace open the bar with the selected word; Find Next repeats.
  void findCommandsOpenTheBar() {
    newDocument("camera fov(40);\nfov(30);");
    CFractal_TextView* view = activeEditor();
    QTextCursor word(view->document());
    word.setPosition(7);
    word.setPosition(10, QTextCursor::KeepAnchor);
    view->setTextCursor(word);
    trigger(command::EDIT_FIND);
    QVERIFY(view->findBar()->isVisible() && !view->findBar()->replaceField()->isVisible());
    QCOMPARE(view->findBar()->findField()->text(), QString("fov"));
    QTest::keyClick(view->findBar()->findField(), Qt::Key_Return);  // finds, types nothing
    QCOMPARE(view->textCursor().selectionStart(), 16);
    QCOMPARE(view->toPlainText(), QString("camera fov(40);\nfov(30);"));
    trigger(command::EDIT_REPEAT);
    QCOMPARE(view->textCursor().selectionStart(), 7);
    trigger(command::EDIT_REPLACE);
    QVERIFY(view->findBar()->replaceField()->isVisible());
    QLineEdit* const replaceField = view->findBar()->replaceField();
    for (int i = 0; i < 4 && frame_->focusWidget() != replaceField; ++i) {
      QTest::keyClick(frame_->focusWidget(), Qt::Key_Tab);  // through the bar, not typed
    }
    QCOMPARE(frame_->focusWidget(), replaceField);
    QCOMPARE(view->toPlainText(), QString("camera fov(40);\nfov(30);"));
  }

  // The Window menu lists the documents, the active one checked, and
  // activates the one chosen; tabbed documents outlive the session.
  void windowMenuAndTabbedDocuments() {
    CFractal_Doc* first = newDocument("a");
    newDocument("b");
    CFractal_Doc* third = newDocument("c");
    QMenu* menu = frame_->findChild<QMenu*>("WINDOW");
    menu->popup(QPoint(0, 0));
    menu->hide();
    QStringList entries;
    QAction* firstEntry = nullptr;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator() || a->data().toInt() != 0) continue;
      entries << a->text() + (a->isChecked() ? " *" : "");
      if (!firstEntry) firstEntry = a;
    }
    QCOMPARE(entries, QStringList({"&1 " + first->title(), "&2 " + frame_->documents()[1]->title(),
                                   "&3 " + third->title() + " *"}));
    firstEntry->trigger();
    QCOMPARE(frame_->activeDocument(), first);

    auto* area = frame_->findChild<QMdiArea*>();
    QCOMPARE(area->viewMode(), QMdiArea::SubWindowView);
    trigger(command::VIEW_TABBED_DOCUMENTS);
    QCOMPARE(area->viewMode(), QMdiArea::TabbedView);
    closeFrame();
    openFrame();
    QCOMPARE(frame_->findChild<QMdiArea*>()->viewMode(), QMdiArea::TabbedView);
    QVERIFY(frame_->action(command::VIEW_TABBED_DOCUMENTS)->isChecked());
  }

  // One image size at a time, shown as radio items.
  void imageSizesAreOneChoice() {
    newDocument("a");
    trigger(command::BITMAPSIZE_640X480);
    QActionGroup* sizes = frame_->action(command::BITMAPSIZE_VARIABLE)->actionGroup();
    QVERIFY(sizes && sizes->isExclusive() && sizes->actions().size() == 7);
    QCOMPARE(sizes->checkedAction(), frame_->action(command::BITMAPSIZE_640X480));
  }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
