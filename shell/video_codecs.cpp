#include "video_codecs.h"

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
};

// Intra-frame (or intra-capable) codecs that AVI players know, default first.
constexpr CodecEntry kCodecs[] = {
    {"rawvideo", "Uncompressed 24-bit frames", false},
    {"mjpeg", "Motion JPEG", true},
    {"ffv1", "FFV1, lossless", false},
    {"huffyuv", "HuffYUV, lossless", false},
    {"utvideo", "Ut Video, lossless", false},
    {"mpeg4", "MPEG-4 part 2", true},
};

bool encodesIntoAvi(const char* name) {
  const AVCodec* encoder = avcodec_find_encoder_by_name(name);
  const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
  return encoder && avi && avformat_query_codec(avi, encoder->id, FF_COMPLIANCE_NORMAL) == 1;
}

}  // namespace

std::vector<VideoCodecInfo> availableVideoCodecs() {
  std::vector<VideoCodecInfo> codecs;
  for (const CodecEntry& entry : kCodecs) {
    if (encodesIntoAvi(entry.name)) {
      codecs.push_back({entry.name, entry.description, entry.takesQuality});
    }
  }
  return codecs;
}

std::optional<VideoCodecInfo> findVideoCodec(const std::string& name) {
  for (VideoCodecInfo& codec : availableVideoCodecs()) {
    if (codec.name == name) return std::move(codec);
  }
  return std::nullopt;
}

int animationFrameRate(int scriptFramesPerSecond) {
  return scriptFramesPerSecond >= 1 ? scriptFramesPerSecond : 15;
}

}  // namespace shell
