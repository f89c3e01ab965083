#pragma once

#include <QPlainTextEdit>

namespace app {

class CFractal_Doc;

// The script editor of a document: a fixed-pitch font, tab stops every four
// characters. Several editors of one document share its text.
class CFractal_TextView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit CFractal_TextView(CFractal_Doc* doc, QWidget* parent = nullptr);

  CFractal_Doc* fractalDoc() const { return doc_; }
  // Puts the caret at the start of line `line` (from 1) and shows it; false
  // when there is no such line.
  bool goToLine(int line);

 private:
  CFractal_Doc* doc_;
};

}  // namespace app
