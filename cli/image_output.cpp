#include "image_output.h"

#include "shell/file_extension.h"
#include "shell/image_file.h"

namespace cli {

std::optional<ImageFormat> imageFormatOf(std::string_view fileName) {
  if (shell::hasExtension(fileName, ".bmp")) return ImageFormat::Bmp;
  if (shell::hasExtension(fileName, ".png")) return ImageFormat::Png;
  return std::nullopt;
}

std::string saveImage(const engine::FrameBuffer& frame, const std::string& fileName) {
  return shell::writeImageFile(frame, fileName,
                               imageFormatOf(fileName) == ImageFormat::Png
                                   ? shell::ImageFileFormat::Png
                                   : shell::ImageFileFormat::Bmp);
}

}  // namespace cli
