#pragma once

#include <QDockWidget>
#include <QStringDecoder>
#include <QThread>
#include <string>

namespace app {

class LogEdit;

// The dockable Output Log bar. While it exists, everything written on the
// standard output and error streams is shown in it; text written on other
// threads is queued to the interface thread.
class OutputLogBar : public QDockWidget {
  Q_OBJECT
 public:
  static constexpr int kControlId = 123;

  explicit OutputLogBar(QWidget* parent = nullptr);
  ~OutputLogBar() override;

  LogEdit* edit() const { return edit_; }
  // Empties the log and forgets text not yet shown.
  void clear();
  void scrollToEnd();

 signals:
  void lineJumpRequested(int line);
  // An "error: line N" line was shown; `writer` is the thread that wrote it.
  void errorLineLogged(int line, QThread* writer);

 private:
  void showText(const std::string& bytes, QThread* writer);

  LogEdit* edit_;
  QStringDecoder decoder_{QStringDecoder::Utf8};
  bool atLineStart_ = true;  // the text shown so far ends with a line feed
};

}  // namespace app
