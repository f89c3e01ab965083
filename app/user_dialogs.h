#pragma once

#include <QMessageBox>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

#include "shell/video_codecs.h"

class QWidget;

namespace app {

// How an animation is compressed: a codec of the video writer and its
// quality (1 to 100, for codecs that take one).
struct VideoCompression {
  std::string codec;
  int quality = 0;
};

// The questions the application asks the user. Tests answer them through a
// scripted implementation instead of modal windows.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  virtual void inform(QWidget* owner, QMessageBox::Icon icon, const QString& text) = 0;
  virtual QMessageBox::StandardButton ask(QWidget* owner, const QString& text,
                                          QMessageBox::StandardButtons buttons) = 0;
  // Empty when the user cancels.
  virtual QString openFileName(QWidget* owner, const QString& filter) = 0;
  virtual QString saveFileName(QWidget* owner, const QString& suggested, const QString& filter,
                               QString* chosenFilter) = 0;
  // The "Custom Size" dialog; nothing when cancelled.
  virtual std::optional<QSize> customSize(QWidget* owner, QSize current) = 0;
  // The compression of an animation in a file of that kind; nothing when
  // cancelled.
  virtual std::optional<VideoCompression> videoCompression(QWidget* owner,
                                                           shell::VideoContainer container) = 0;
};

// The real dialogs.
class StandardDialogs : public UserDialogs {
 public:
  void inform(QWidget* owner, QMessageBox::Icon icon, const QString& text) override;
  QMessageBox::StandardButton ask(QWidget* owner, const QString& text,
                                  QMessageBox::StandardButtons buttons) override;
  QString openFileName(QWidget* owner, const QString& filter) override;
  QString saveFileName(QWidget* owner, const QString& suggested, const QString& filter,
                       QString* chosenFilter) override;
  std::optional<QSize> customSize(QWidget* owner, QSize current) override;
  std::optional<VideoCompression> videoCompression(QWidget* owner,
                                                   shell::VideoContainer container) override;
};

}  // namespace app
