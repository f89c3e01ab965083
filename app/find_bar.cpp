#include "find_bar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include "editor_search.h"

namespace app {

FindBar::FindBar(QPlainTextEdit* editor)
    : QWidget(editor),
      editor_(editor),
      find_(new QLineEdit),
      replace_(new QLineEdit),
      matchCase_(new QCheckBox(tr("Match &case"))),
      report_(new QLabel) {
  setAutoFillBackground(true);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setVerticalSpacing(2);
  // Tool buttons: the bar must fit a narrow editor window.
  const auto button = [this](const QString& text, auto handler) {
    auto* b = new QToolButton;
    b->setText(text);
    b->setFocusPolicy(Qt::TabFocus);
    connect(b, &QToolButton::clicked, this, handler);
    return b;
  };
  auto* close = new QToolButton;
  close->setText("x");
  close->setAutoRaise(true);
  connect(close, &QToolButton::clicked, this, &QWidget::hide);

  auto* findLabel = new QLabel(tr("Find:"));
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(find_, 0, 1);
  grid->addWidget(button(tr("&Previous"), &FindBar::findPrevious), 0, 2);
  grid->addWidget(button(tr("&Next"), &FindBar::findNext), 0, 3);
  grid->addWidget(matchCase_, 0, 4);
  grid->addWidget(close, 0, 5);
  auto* replaceLabel = new QLabel(tr("Replace:"));
  QToolButton* replaceOne = button(tr("&Replace"), &FindBar::replace);
  QToolButton* replaceEvery = button(tr("Replace &All"), &FindBar::replaceAll);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replace_, 1, 1);
  grid->addWidget(replaceOne, 1, 2);
  grid->addWidget(replaceEvery, 1, 3);
  grid->addWidget(report_, 2, 0, 1, -1);
  report_->hide();
  grid->setColumnStretch(1, 1);
  find_->setMinimumWidth(fontMetrics().averageCharWidth() * 14);
  replaceRow_ = {replaceLabel, replace_, replaceOne, replaceEvery};
  setTabOrder(find_, replace_);  // the two fields first, then the buttons
  findLabel->setBuddy(find_);
  replaceLabel->setBuddy(replace_);

  connect(find_, &QLineEdit::returnPressed, this, &FindBar::findNext);
  connect(replace_, &QLineEdit::returnPressed, this, &FindBar::replace);
  hide();
}

void FindBar::open(bool withReplace) {
  for (QWidget* w : replaceRow_) w->setVisible(withReplace);
  const QString selected = editor_->textCursor().selectedText();
  // A selection over several lines is no text to find.
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
    find_->setText(selected);
  setReport({});
  show();
  emit sizeChanged();  // the replace row may have come or gone
  find_->setFocus();
  find_->selectAll();
}

QTextDocument::FindFlags FindBar::flags() const {
  return matchCase_->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
}

bool FindBar::reportFound(bool found) {
  setReport(found ? QString() : tr("Cannot find \"%1\"").arg(find_->text()));
  return found;
}

bool FindBar::findNext() {
  return reportFound(app::findNext(*editor_, find_->text(), flags()));
}

bool FindBar::findPrevious() {
  return reportFound(app::findNext(*editor_, find_->text(), flags() | QTextDocument::FindBackward));
}

bool FindBar::replace() {
  const bool replaced = replaceSelected(*editor_, find_->text(), replace_->text(), flags());
  reportFound(editor_->textCursor().hasSelection());
  return replaced;
}

int FindBar::replaceAll() {
  const int count = app::replaceAll(*editor_, find_->text(), replace_->text(), flags());
  setReport(tr("%n replaced", nullptr, count));
  return count;
}

void FindBar::setReport(const QString& text) {
  if (report_->text() == text) return;
  report_->setText(text);
  report_->setVisible(!text.isEmpty());
  emit sizeChanged();
}

bool FindBar::hasText() const {
  return !find_->text().isEmpty();
}

QString FindBar::report() const {
  return report_->text();
}

void FindBar::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  emit sizeChanged();
}

void FindBar::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  emit sizeChanged();
}

bool FindBar::focusNextPrevChild(bool next) {
  QWidget* from = focusWidget();
  if (!from) return false;
  for (QWidget* w = from;;) {
    w = next ? w->nextInFocusChain() : w->previousInFocusChain();
    if (w == from) return false;
    if (isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
      w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    hide();
    editor_->setFocus();
  }
  // Keys the fields leave (Return among them) must not reach the editor
  // behind the bar, which would type them over the found text.
  event->accept();
}

}  // namespace app
