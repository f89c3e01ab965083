#pragma once

#include <QDockWidget>
#include <QStringDecoder>
#include <QThread>
#include <string>
#include <string_view>

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
  // Reports an error line as soon as its number is complete: a line may
  // arrive in pieces (the error stream writes each part at once).
  void noticeErrorLine(std::string_view text, QThread* writer);
  void checkErrorLine(bool lineEnded, QThread* writer);

  LogEdit* edit_;
  QStringDecoder decoder_{QStringDecoder::Utf8};
  std::string lineStart_;      // the start of the last line shown
  bool lineReported_ = false;  // its error was reported
};

}  // namespace app
