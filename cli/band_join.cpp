#include "band_join.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "band_file.h"
#include "engine/frame_buffer.h"
#include "exit_codes.h"
#include "file_errors.h"
#include "image_output.h"
#include "options.h"
#include "shell/platform.h"
#include "shell/video_writer.h"

namespace cli {

namespace {

int failWith(const std::string& part, const std::string& problem) {
  std::cerr << "zentarel3d-cli: " << part << ": " << problem << std::endl;
  return kUsage;
}

// Copies a band's rows into the frame, whose rows are stored bottom first.
void placeBand(const ImageBand& band, engine::FrameBuffer& frame) {
  for (uint32_t y = 0; y < band.height; ++y) {
    const uint8_t* from = band.rgb.data() + size_t(y) * frame.width * 3;
    uint8_t* to = frame.bits.data() + size_t(frame.height - 1 - band.place.top - y) * frame.stride;
    for (uint32_t x = 0; x < frame.width; ++x, from += 3, to += 3) {
      to[0] = from[2], to[1] = from[1], to[2] = from[0];
    }
  }
}

// The joined image carries the scene of its bands.
void takeScene(const std::optional<shell::SceneScript>& scene, engine::FrameBuffer& frame) {
  if (!scene) return;
  frame.scriptText = scene->text;
  if (scene->randomState) frame.savedRandomState = *scene->randomState;
}

int joinBands(const Options& options) {
  engine::FrameBuffer frame;
  std::vector<const std::string*> ownerOfRow;
  for (const std::string& part : options.parts) {
    std::string error;
    const std::optional<ImageBand> band = readBandPng(part, error);
    if (!band) return failWith(part, error);
    const BandPlace& place = band->place;
    if (ownerOfRow.empty()) {
      frame.resizeImage(place.fullWidth, place.fullHeight, 24);
      ownerOfRow.assign(place.fullHeight, nullptr);
      takeScene(band->scene, frame);
    } else if (place.fullWidth != frame.width || place.fullHeight != frame.height) {
      return failWith(part, "a band of a " + std::to_string(place.fullWidth) + "x" +
                                std::to_string(place.fullHeight) + " image, not " +
                                std::to_string(frame.width) + "x" + std::to_string(frame.height));
    }
    if (band->height == 0 || place.top >= frame.height || band->height > frame.height - place.top)
      return failWith(part, "a band outside its image");
    for (uint32_t y = place.top; y < place.top + band->height; ++y) {
      if (ownerOfRow[y]) return failWith(part, "overlaps " + *ownerOfRow[y]);
      ownerOfRow[y] = &part;
    }
    placeBand(*band, frame);
  }
  const auto gap = std::find(ownerOfRow.begin(), ownerOfRow.end(), nullptr);
  if (gap != ownerOfRow.end()) {
    const auto end = std::find_if(gap, ownerOfRow.end(), [](auto owner) { return owner; });
    return failWith(options.imageFile, "no part has rows " +
                                           std::to_string(gap - ownerOfRow.begin()) + " to " +
                                           std::to_string(end - ownerOfRow.begin() - 1));
  }
  const std::string failure = saveImage(frame, options.imageFile);
  if (failure.empty()) return kBuilt;
  reportUnwritable("image", options.imageFile, failure);
  return kUsage;
}

bool loadPngFrame(const std::string& fileName, engine::FrameBuffer& frame) {
  // Opened here, not by libpng, which takes names in the code page only.
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
      shell::openFile(shell::pathFromUtf8(fileName), "rb"), std::fclose);
  if (!file) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_stdio(&image, file.get())) return false;
  image.format = PNG_FORMAT_BGR;
  frame.resizeImage(image.width, image.height, 24);
  // Bottom row first, as the frame buffer keeps them.
  return png_image_finish_read(&image, nullptr, frame.bits.data(), -png_int_32(frame.stride),
                               nullptr) != 0;
}

// A 24-bit bottom-up BMP, as frame images are written.
bool loadBmpFrame(const std::string& fileName, engine::FrameBuffer& frame) {
  std::ifstream file(shell::pathFromUtf8(fileName), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  auto read32 = [&bytes](size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + size_t(i)]);
    return v;
  };
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || (read32(28) & 0xFFFF) != 24)
    return false;
  // The runner's sizes, which also bounds what a foreign file can allocate.
  const uint32_t width = read32(18);
  const int32_t height = int32_t(read32(22));
  if (width == 0 || width > 65535 || height <= 0 || height > 65535) return false;
  frame.resizeImage(width, uint32_t(height), 24);
  const size_t offset = read32(10);
  if (bytes.size() < offset + frame.bits.size()) return false;
  std::memcpy(frame.bits.data(), bytes.data() + offset, frame.bits.size());
  return true;
}

// A frame image (.png or .bmp) into the frame buffer at its size.
bool loadFrame(const std::string& fileName, engine::FrameBuffer& frame) {
  return imageFormatOf(fileName) == ImageFormat::Png ? loadPngFrame(fileName, frame)
                                                     : loadBmpFrame(fileName, frame);
}

int unwritableVideo(const Options& options, const shell::VideoWriter& video) {
  reportUnwritable("video", options.videoFile, video.failureReason());
  return kUsage;
}

int joinFrames(const Options& options) {
  shell::VideoWriter video;
  engine::FrameBuffer frame;
  uint32_t width = 0, height = 0;  // of the first frame
  for (const std::string& part : options.parts) {
    if (!loadFrame(part, frame)) return failWith(part, "not a frame image");
    if (!video.isOpen()) {
      width = frame.width, height = frame.height;
      const std::string failure =
          video.open(options.videoFile, int(width), int(height), options.framesPerSecond,
                     options.videoCodec, options.videoQuality, options.videoContainer);
      if (!failure.empty()) {
        std::cerr << failure << std::endl;
        // A codec that cannot be set up is no file error.
        if (video.failureReason().empty()) return kFailed;
        return unwritableVideo(options, video);
      }
    } else if (frame.width != width || frame.height != height) {
      return failWith(part, "a frame of another size");
    }
    if (!video.writeFrame(frame.bits)) {
      std::cerr << shell::kCantWriteFrame << std::endl;
      return unwritableVideo(options, video);
    }
  }
  return video.close() ? kBuilt : unwritableVideo(options, video);
}

}  // namespace

int joinParts(const Options& options) {
  return options.videoFile.empty() ? joinBands(options) : joinFrames(options);
}

}  // namespace cli
