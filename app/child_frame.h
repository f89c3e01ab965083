#pragma once

#include <QMdiSubWindow>
#include <functional>

namespace app {

// An MDI child window that asks before it closes.
class CChildFrame : public QMdiSubWindow {
  Q_OBJECT
 public:
  using CloseQuery = std::function<bool(CChildFrame*)>;

  CChildFrame(CloseQuery query, QWidget* parent = nullptr);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  CloseQuery query_;
};

}  // namespace app
