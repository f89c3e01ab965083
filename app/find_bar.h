#pragma once

#include <QTextDocument>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace app {

// The bar at the bottom of an editor that finds and replaces in its text:
// find next and previous, replace, replace all, match case. It says in its
// own line what it did or did not find.
class FindBar : public QWidget {
  Q_OBJECT
 public:
  explicit FindBar(QPlainTextEdit* editor);

  // Shows the bar (with its replace row or without), takes the editor's
  // selection as the text to find and puts the focus in the find field.
  void open(bool withReplace);
  bool findNext();
  bool findPrevious();
  bool replace();
  int replaceAll();

  QLineEdit* findField() const { return find_; }
  QLineEdit* replaceField() const { return replace_; }
  QCheckBox* matchCase() const { return matchCase_; }
  QString report() const;
  bool hasText() const;

 signals:
  // Shown, hidden, or a row came or went: the editor makes room.
  void sizeChanged();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Tab moves between the bar's fields and buttons; the editor behind it
  // would keep the Tab for its text.
  bool focusNextPrevChild(bool next) override;

 private:
  QTextDocument::FindFlags flags() const;
  bool reportFound(bool found);
  // A line under the fields, shown while it has something to say.
  void setReport(const QString& text);

  QPlainTextEdit* editor_;
  QLineEdit* find_;
  QLineEdit* replace_;
  QCheckBox* matchCase_;
  QLabel* report_;
  QList<QWidget*> replaceRow_;
};

}  // namespace app
