#include "custom_size_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "command_ids.h"

namespace app {

namespace {

QSpinBox* sideField(int value, int controlId) {
  auto* field = new QSpinBox;
  field->setRange(0, CustomSizeDialog::kMaxSide);
  field->setValue(value);
  field->setProperty("controlId", controlId);
  return field;
}

}  // namespace

CustomSizeDialog::CustomSizeDialog(QSize current, QWidget* parent)
    : QDialog(parent),
      width_(sideField(current.width(), command::IMAGE_WIDTH_EDIT)),
      height_(sideField(current.height(), command::IMAGE_HEIGHT_EDIT)) {
  setObjectName("SIZE_DIALOG");
  setWindowTitle(tr("Custom Size"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QFormLayout(this);
  layout->addRow(tr("&Width:"), width_);
  layout->addRow(tr("&Height:"), height_);
  layout->addRow(buttons);
}

QSize CustomSizeDialog::imageSize() const {
  return {width_->value(), height_->value()};
}

}  // namespace app
