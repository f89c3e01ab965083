#pragma once

#include <QDialog>
#include <vector>

#include "shell/video_codecs.h"
#include "user_dialogs.h"

class QComboBox;
class QLabel;
class QSlider;

namespace app {

// The compression of an animation: one of the codecs the video writer
// offers for the kind of file (for AVI uncompressed frames first), and a
// quality for those that take one.
class VideoCompressionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit VideoCompressionDialog(shell::VideoContainer container, QWidget* parent = nullptr);
  VideoCompression compression() const;

 private:
  void codecChanged(int index);

  std::vector<shell::VideoCodecInfo> codecs_;
  QComboBox* codec_;
  QSlider* quality_;
  QLabel* qualityValue_;
};

}  // namespace app
