#include "image_file.h"

#include <cerrno>

#include "atomic_file.h"
#include "engine/frame_buffer.h"
#include "engine/png_writer.h"
#include "scene_png.h"

namespace shell {

std::string writeImageFile(const engine::FrameBuffer& frame, const std::filesystem::path& path,
                           ImageFileFormat format) {
  if (!frame.hasImage()) return "no image";
  AtomicFile file(path);
  if (!file.open()) return file.error();
  errno = 0;
  const bool written = format == ImageFileFormat::Png
                           ? engine::writePng(frame, file.stream(), sceneTexts(frame))
                           : frame.writeBitmap(file.stream());
  if (!written) file.abandon(errno);
  return written && file.commit() ? std::string() : file.error();
}

}  // namespace shell
