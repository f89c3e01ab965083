#include "fractal_text_view.h"

#include <QPainter>
#include <QTextBlock>

#include "find_bar.h"
#include "fractal_doc.h"

namespace app {

namespace {

const QColor kCurrentLine(0xff, 0xf8, 0xd8);
const QColor kErrorLine(0xff, 0xd6, 0xd6);
const QColor kErrorMark(0xc6, 0x28, 0x28);
const QColor kGutterBack(0xf0, 0xf0, 0xf0);
const QColor kGutterText(0x80, 0x80, 0x80);
constexpr int kGutterPadding = 4;

// The strip left of the text; the editor paints it.
class Gutter : public QWidget {
 public:
  explicit Gutter(CFractal_TextView* editor) : QWidget(editor), editor_(editor) {}
  QSize sizeHint() const override { return {editor_->gutterWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { editor_->paintGutter(event); }

 private:
  CFractal_TextView* editor_;
};

QTextEdit::ExtraSelection wholeLine(const QTextCursor& at, const QColor& colour) {
  QTextEdit::ExtraSelection selection;
  selection.format.setBackground(colour);
  selection.format.setProperty(QTextFormat::FullWidthSelection, true);
  selection.cursor = at;
  selection.cursor.clearSelection();
  return selection;
}

}  // namespace

CFractal_TextView::CFractal_TextView(CFractal_Doc* doc, QWidget* parent)
    : QPlainTextEdit(parent), doc_(doc), gutter_(new Gutter(this)) {
  setDocument(doc->text());
  // Long lines (a camera rewritten with 17 digits) wrap instead of running
  // off the edge; the gutter numbers whole lines.
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  QFont font("Courier");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(13);
  setFont(font);
  // Tab stops every 16 dialog units, four average characters.
  setTabStopDistance(fontMetrics().averageCharWidth() * 4);

  connect(this, &QPlainTextEdit::blockCountChanged, this, &CFractal_TextView::layOutMargins);
  connect(this, &QPlainTextEdit::updateRequest, this, &CFractal_TextView::updateGutter);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CFractal_TextView::markLines);
  connect(doc, &CFractal_Doc::errorLineChanged, this, [this] {
    markLines();
    gutter_->update();
  });
  layOutMargins();
  markLines();
}

FindBar* CFractal_TextView::findBar() {
  if (!findBar_) {
    findBar_ = new FindBar(this);
    connect(findBar_, &FindBar::sizeChanged, this, &CFractal_TextView::layOutMargins);
  }
  return findBar_;
}

bool CFractal_TextView::goToLine(int line) {
  if (line < 1 || line > document()->blockCount()) return false;
  setTextCursor(QTextCursor(document()->findBlockByNumber(line - 1)));
  ensureCursorVisible();
  return true;
}

int CFractal_TextView::gutterWidth() const {
  const int digits = int(QString::number(std::max(1, blockCount())).size());
  return 2 * kGutterPadding +
         fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void CFractal_TextView::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  layOutMargins();
}

void CFractal_TextView::layOutMargins() {
  const int barHeight = findBar_ && findBar_->isVisible() ? findBar_->sizeHint().height() : 0;
  setViewportMargins(gutterWidth(), 0, 0, barHeight);
  const QRect inside = contentsRect();
  const QRect text = viewport()->geometry();
  gutter_->setGeometry(QRect(inside.left(), text.top(), gutterWidth(), text.height()));
  if (barHeight > 0) {
    findBar_->setGeometry(QRect(inside.left(), text.bottom() + 1, inside.width(), barHeight));
  }
}

void CFractal_TextView::updateGutter(const QRect& rect, int dy) {
  if (dy != 0) {
    gutter_->scroll(0, dy);
  } else {
    gutter_->update(0, rect.y(), gutter_->width(), rect.height());
  }
}

void CFractal_TextView::paintGutter(QPaintEvent* event) {
  QPainter painter(gutter_);
  painter.setFont(font());
  painter.fillRect(event->rect(), kGutterBack);
  const int errorLine = doc_->errorLine();
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    const int height = qRound(blockBoundingRect(block).height());
    const int line = block.blockNumber() + 1;
    if (block.isVisible() && top + height >= event->rect().top()) {
      const QRect row(0, top, gutter_->width() - kGutterPadding, height);
      if (line == errorLine) {
        painter.fillRect(QRect(0, top, gutter_->width(), height), kErrorMark);
        painter.setPen(Qt::white);
      } else {
        painter.setPen(kGutterText);
      }
      painter.drawText(row, Qt::AlignRight | Qt::AlignTop, QString::number(line));
    }
    block = block.next();
    top += height;
  }
}

void CFractal_TextView::markLines() {
  QList<QTextEdit::ExtraSelection> marks{wholeLine(textCursor(), kCurrentLine)};
  const QTextBlock error = document()->findBlockByNumber(doc_->errorLine() - 1);
  if (doc_->errorLine() > 0 && error.isValid()) {
    QTextEdit::ExtraSelection mark = wholeLine(QTextCursor(error), kErrorLine);
    mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    mark.format.setUnderlineColor(kErrorMark);
    marks << mark;
  }
  setExtraSelections(marks);
}

}  // namespace app
