#pragma once

class QImage;
class QPagedPaintDevice;

namespace app {

// Prints an image so that 1024 image pixels span the page width; false when
// the printer cannot be drawn on.
bool printImage(QPagedPaintDevice& printer, const QImage& image);

}  // namespace app
