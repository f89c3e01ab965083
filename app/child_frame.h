#pragma once

#include <QMdiSubWindow>
#include <functional>

namespace app {

// An MDI child window that asks before it closes and never grows beyond the
// visible workspace.
class CChildFrame : public QMdiSubWindow {
  Q_OBJECT
 public:
  using CloseQuery = std::function<bool(CChildFrame*)>;

  CChildFrame(CloseQuery query, QWidget* parent = nullptr);
  // Moves the window, and shrinks it when it is larger, into the workspace;
  // a window opened before the workspace is shown is placed when it shows.
  void placeInside();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  CloseQuery query_;
  bool shownBefore_ = false;
};

}  // namespace app
