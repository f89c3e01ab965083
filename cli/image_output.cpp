#include "image_output.h"

#include <algorithm>
#include <cctype>

#include "shell/image_file.h"
#include "shell/platform.h"

namespace cli {

namespace {

// `suffix` in lower case.
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() > suffix.size() &&
         std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char lower, char c) {
           return std::tolower(static_cast<unsigned char>(c)) == lower;
         });
}

}  // namespace

std::optional<ImageFormat> imageFormatOf(std::string_view fileName) {
  if (endsWithIgnoringCase(fileName, ".bmp")) return ImageFormat::Bmp;
  if (endsWithIgnoringCase(fileName, ".png")) return ImageFormat::Png;
  return std::nullopt;
}

std::string saveImage(const engine::FrameBuffer& frame, const std::string& fileName) {
  return shell::writeImageFile(frame, shell::pathFromUtf8(fileName),
                               imageFormatOf(fileName) == ImageFormat::Png
                                   ? shell::ImageFileFormat::Png
                                   : shell::ImageFileFormat::Bmp);
}

}  // namespace cli
