#pragma once

#include <QPlainTextEdit>

namespace app {

class CFractal_Doc;
class FindBar;

// The script editor of a document: a fixed-pitch font, tab stops every four
// characters, a gutter of line numbers, the current line and the line of the
// last failed build marked. Several editors of one document share its text.
class CFractal_TextView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit CFractal_TextView(CFractal_Doc* doc, QWidget* parent = nullptr);

  CFractal_Doc* fractalDoc() const { return doc_; }
  // Puts the caret at the start of line `line` (from 1) and shows it; false
  // when there is no such line.
  bool goToLine(int line);

  // The find bar at the bottom, made when first asked for.
  FindBar* findBar();

  // The gutter of line numbers left of the text; it asks the editor to paint.
  int gutterWidth() const;
  void paintGutter(QPaintEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateGutter(const QRect& rect, int dy);
  void markLines();
  void layOutMargins();

  CFractal_Doc* doc_;
  QWidget* gutter_;
  FindBar* findBar_ = nullptr;
};

}  // namespace app
