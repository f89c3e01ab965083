#include "video_codecs.h"

#include <span>

#include "file_extension.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace shell {

namespace {

struct CodecEntry {
  const char* name;
  const char* description;
  bool takesQuality;
  int bestRateFactor, worstRateFactor;
};

// Intra-frame (or intra-capable) codecs that AVI players know, default first.
constexpr CodecEntry kAviCodecs[] = {
    {"rawvideo", "Uncompressed 24-bit frames", false, 0, 0},
    {"mjpeg", "Motion JPEG", true, 0, 0},
    {"ffv1", "FFV1, lossless", false, 0, 0},
    {"huffyuv", "HuffYUV, lossless", false, 0, 0},
    {"utvideo", "Ut Video, lossless", false, 0, 0},
    {"mpeg4", "MPEG-4 part 2", true, 0, 0},
};
// What every player shows; quality 75 gives a rate factor near each
// encoder's own default.
constexpr CodecEntry kH264 = {"libx264", "H.264", true, 10, 51};
constexpr CodecEntry kVp9 = {"libvpx-vp9", "VP9", true, 15, 63};
constexpr CodecEntry kAv1 = {"libaom-av1", "AV1", true, 15, 63};
constexpr CodecEntry kMp4Codecs[] = {kH264, kAv1};
constexpr CodecEntry kMatroskaCodecs[] = {kH264, kVp9, kAv1};
constexpr CodecEntry kWebMCodecs[] = {kVp9, kAv1};

struct ContainerEntry {
  VideoContainer container;
  const char* extension;
  const char* format;  // FFmpeg's name of the muxer
};

constexpr ContainerEntry kContainers[] = {
    {VideoContainer::Avi, ".avi", "avi"},
    {VideoContainer::Mp4, ".mp4", "mp4"},
    {VideoContainer::Matroska, ".mkv", "matroska"},
    {VideoContainer::WebM, ".webm", "webm"},
};

const ContainerEntry& entryOf(VideoContainer container) {
  return kContainers[int(container)];
}

std::span<const CodecEntry> codecsOf(VideoContainer container) {
  switch (container) {
    case VideoContainer::Mp4:
      return kMp4Codecs;
    case VideoContainer::Matroska:
      return kMatroskaCodecs;
    case VideoContainer::WebM:
      return kWebMCodecs;
    case VideoContainer::Avi:
      break;
  }
  return kAviCodecs;
}

bool encodesInto(const char* name, VideoContainer container) {
  const AVCodec* encoder = avcodec_find_encoder_by_name(name);
  const AVOutputFormat* format = av_guess_format(videoMuxer(container), nullptr, nullptr);
  return encoder && format && avformat_query_codec(format, encoder->id, FF_COMPLIANCE_NORMAL) == 1;
}

}  // namespace

std::optional<VideoContainer> videoContainerOf(std::string_view fileName) {
  for (const ContainerEntry& entry : kContainers) {
    if (hasExtension(fileName, entry.extension)) return entry.container;
  }
  return std::nullopt;
}

const char* videoExtension(VideoContainer container) {
  return entryOf(container).extension;
}

const char* videoMuxer(VideoContainer container) {
  return entryOf(container).format;
}

std::vector<VideoCodecInfo> availableVideoCodecs(VideoContainer container) {
  std::vector<VideoCodecInfo> codecs;
  for (const CodecEntry& entry : codecsOf(container)) {
    if (encodesInto(entry.name, container)) {
      codecs.push_back({entry.name, entry.description, entry.takesQuality, entry.bestRateFactor,
                        entry.worstRateFactor});
    }
  }
  return codecs;
}

std::optional<VideoCodecInfo> findVideoCodec(const std::string& name, VideoContainer container) {
  for (VideoCodecInfo& codec : availableVideoCodecs(container)) {
    if (codec.name == name) return std::move(codec);
  }
  return std::nullopt;
}

int animationFrameRate(int scriptFramesPerSecond) {
  return scriptFramesPerSecond >= 1 ? scriptFramesPerSecond : 15;
}

}  // namespace shell
