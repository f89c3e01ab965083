#include "image_printing.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>

namespace app {

bool printImage(QPagedPaintDevice& printer, const QImage& image) {
  if (image.isNull()) return false;
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const qint64 pageWidth = printer.width();
  const QRect target(0, 0, int((image.width() * pageWidth) >> 10),
                     int((image.height() * pageWidth) >> 10));
  painter.drawImage(target, image);
  return painter.end();
}

}  // namespace app
