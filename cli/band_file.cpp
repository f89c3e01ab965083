#include "band_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "engine/frame_buffer.h"
#include "engine/png_reader.h"
#include "shell/atomic_file.h"
#include "shell/platform.h"

namespace cli {

namespace {

// The text chunk that holds the place: "TOP FULLWIDTH FULLHEIGHT".
constexpr char kPlaceKey[] = "Zentarel3d band";

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::optional<BandPlace> placeIn(const engine::PngImage& image) {
  const std::string* text = image.text(kPlaceKey);
  BandPlace place;
  if (!text ||
      std::sscanf(text->c_str(), "%u %u %u", &place.top, &place.fullWidth, &place.fullHeight) != 3)
    return std::nullopt;
  return place;
}

}  // namespace

std::string saveBandPng(const engine::FrameBuffer& frame, const std::string& fileName) {
  if (!frame.hasImage() || frame.bitsPerPixel != 24 || frame.bandHeight == 0)
    return "no band was rendered";
  // The frame's rows are stored bottom first.
  std::vector<const uint8_t*> rows(frame.bandHeight);
  for (uint32_t y = 0; y < frame.bandHeight; ++y) {
    const size_t stored = frame.height - 1 - (frame.bandTop + y);
    rows[y] = frame.bits.data() + stored * frame.stride;
  }
  char place[64];
  std::snprintf(place, sizeof place, "%u %u %u", frame.bandTop, frame.width, frame.height);
  std::vector<engine::PngText> texts = shell::sceneTexts(frame);
  texts.push_back({kPlaceKey, place});
  shell::AtomicFile file(shell::pathFromUtf8(fileName));
  if (!file.open()) return file.error();
  errno = 0;
  if (!engine::writePngRows(file.stream(), frame.width, rows, texts))
    file.abandon(errno);
  else
    file.commit();
  return file.error();
}

std::optional<ImageBand> readBandPng(const std::string& fileName, std::string& error) {
  File file(shell::openFile(shell::pathFromUtf8(fileName), "rb"), std::fclose);
  if (!file) {
    error = "cannot be read";
    return std::nullopt;
  }
  std::optional<engine::PngImage> image = engine::readPng(file.get(), true, error);
  if (!image) return std::nullopt;
  const std::optional<BandPlace> place = placeIn(*image);
  if (!place || image->width != place->fullWidth || !image->rgb8) {
    error = "not an image band";
    return std::nullopt;
  }
  return ImageBand{*place, image->height, std::move(image->rgb), shell::sceneIn(*image)};
}

}  // namespace cli
