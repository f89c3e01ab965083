#pragma once

#include <QDialog>

class QSpinBox;

namespace app {

// The "Custom Size" dialog: width and height of the image, 0 to 4096 each.
class CustomSizeDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxSide = 4096;

  CustomSizeDialog(QSize current, QWidget* parent = nullptr);
  QSize imageSize() const;

 private:
  QSpinBox* width_;
  QSpinBox* height_;
};

}  // namespace app
