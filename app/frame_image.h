#pragma once

#include <QImage>

#include "engine/frame_buffer.h"

namespace app {

// A copy of the frame buffer's image for the screen or the printer (top row
// first); a null image when the frame buffer holds none.
QImage frameImage(const engine::FrameBuffer& frameBuffer);
// The same from a copy taken while a build renders.
QImage frameImage(const engine::ImageCopy& copy);

}  // namespace app
