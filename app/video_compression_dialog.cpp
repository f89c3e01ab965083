#include "video_compression_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "ui_translator.h"

namespace app {

VideoCompressionDialog::VideoCompressionDialog(shell::VideoContainer container, QWidget* parent)
    : QDialog(parent),
      codecs_(shell::availableVideoCodecs(container)),
      codec_(new QComboBox),
      quality_(new QSlider(Qt::Horizontal)),
      qualityValue_(new QLabel) {
  setObjectName("COMPRESSION_DIALOG");
  setWindowTitle(tr("Video Compression"));
  for (const shell::VideoCodecInfo& codec : codecs_) {
    codec_->addItem(QString::fromStdString(codec.description));
  }
  quality_->setRange(1, 100);
  quality_->setValue(shell::kDefaultVideoQuality);
  qualityValue_->setNum(quality_->value());
  qualityValue_->setMinimumWidth(qualityValue_->fontMetrics().horizontalAdvance("100"));
  connect(quality_, &QSlider::valueChanged, qualityValue_, qOverload<int>(&QLabel::setNum));
  connect(codec_, &QComboBox::currentIndexChanged, this, &VideoCompressionDialog::codecChanged);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setEnabled(!codecs_.empty());
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* qualityRow = new QHBoxLayout;
  qualityRow->addWidget(quality_, 1);
  qualityRow->addWidget(qualityValue_);
  auto* layout = new QFormLayout(this);
  layout->addRow(tr("&Compressor:"), codec_);
  auto* qualityLabel = new QLabel(tr("Compression &Quality:"));
  qualityLabel->setBuddy(quality_);  // a row of a layout gets no buddy of its own
  layout->addRow(qualityLabel, qualityRow);
  layout->addRow(buttons);
  codecChanged(codec_->currentIndex());
  UiTranslator::translateOnInit(*this);
}

VideoCompression VideoCompressionDialog::compression() const {
  const int index = codec_->currentIndex();
  if (index < 0) return {};
  return {codecs_[index].name, quality_->value()};
}

void VideoCompressionDialog::codecChanged(int index) {
  const bool takesQuality = index >= 0 && codecs_[index].takesQuality;
  quality_->setEnabled(takesQuality);
  qualityValue_->setEnabled(takesQuality);
}

}  // namespace app
