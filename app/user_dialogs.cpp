#include "user_dialogs.h"

#include <QApplication>
#include <QFileDialog>

#include "custom_size_dialog.h"
#include "video_compression_dialog.h"

namespace app {

void StandardDialogs::inform(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok, owner);
  box.exec();
}

QMessageBox::StandardButton StandardDialogs::ask(QWidget* owner, const QString& text,
                                                 QMessageBox::StandardButtons buttons) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text, buttons, owner);
  return QMessageBox::StandardButton(box.exec());
}

QString StandardDialogs::openFileName(QWidget* owner, const QString& filter) {
  return QFileDialog::getOpenFileName(owner, {}, {}, filter);
}

QString StandardDialogs::saveFileName(QWidget* owner, const QString& suggested,
                                      const QString& filter, QString* chosenFilter) {
  return QFileDialog::getSaveFileName(owner, {}, suggested, filter, chosenFilter);
}

std::optional<QSize> StandardDialogs::customSize(QWidget* owner, QSize current) {
  CustomSizeDialog dialog(current, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.imageSize();
}

std::optional<VideoCompression> StandardDialogs::videoCompression(QWidget* owner,
                                                                  shell::VideoContainer container) {
  VideoCompressionDialog dialog(container, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.compression();
}

}  // namespace app
