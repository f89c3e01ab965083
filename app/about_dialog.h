#pragma once

#include <QDialog>

namespace app {

// The About box: version line and the project's web address.
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr const char* kWebAddress = "https://zentarel3d.example.org/";

  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace app
