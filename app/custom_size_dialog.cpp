#include "custom_size_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

#include "command_ids.h"
#include "ui_translator.h"

namespace app {

namespace {

QSpinBox* sideField(int value, int controlId) {
  auto* field = new QSpinBox;
  field->setRange(0, CustomSizeDialog::kMaxSide);
  field->setValue(value);
  field->setProperty("controlId", controlId);
  return field;
}

QLabel* sideLabel(const QString& text, QSpinBox* field, int controlId) {
  auto* label = new QLabel(text);
  label->setBuddy(field);
  label->setProperty("controlId", controlId);
  return label;
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
  layout->addRow(sideLabel(tr("&Width:"), width_, command::IMAGE_WIDTH_LABEL), width_);
  layout->addRow(sideLabel(tr("&Height:"), height_, command::IMAGE_HEIGHT_LABEL), height_);
  layout->addRow(buttons);
  UiTranslator::translateOnInit(*this);
}

QSize CustomSizeDialog::imageSize() const {
  return {width_->value(), height_->value()};
}

}  // namespace app
