#include "decoded_video.h"

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace shell::testing {

namespace {

// The frame as bgr24, with the range it says it has: a JPEG frame is full range.
std::string bgrBytes(const AVFrame& frame) {
  SwsContext* converter = sws_alloc_context();
  av_opt_set_int(converter, "srcw", frame.width, 0);
  av_opt_set_int(converter, "srch", frame.height, 0);
  av_opt_set_pixel_fmt(converter, "src_format", AVPixelFormat(frame.format), 0);
  av_opt_set_int(converter, "src_range", frame.color_range == AVCOL_RANGE_JPEG, 0);
  av_opt_set_int(converter, "dstw", frame.width, 0);
  av_opt_set_int(converter, "dsth", frame.height, 0);
  av_opt_set_pixel_fmt(converter, "dst_format", AV_PIX_FMT_BGR24, 0);
  av_opt_set_int(converter, "dst_range", 1, 0);
  av_opt_set_int(converter, "sws_flags", SWS_POINT, 0);
  std::string bytes(size_t(frame.width) * 3 * frame.height, '\0');
  if (sws_init_context(converter, nullptr, nullptr) >= 0) {
    uint8_t* rows[] = {reinterpret_cast<uint8_t*>(bytes.data())};
    const int stride[] = {frame.width * 3};
    sws_scale(converter, frame.data, frame.linesize, 0, frame.height, rows, stride);
  }
  sws_freeContext(converter);
  return bytes;
}

}  // namespace

std::string decodedFrames(const std::string& file) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, file.c_str(), nullptr, nullptr) < 0) return {};
  const std::unique_ptr<AVFormatContext*, void (*)(AVFormatContext**)> closeInput(
      &format, avformat_close_input);
  const AVCodec* codec = nullptr;
  const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (index < 0) return {};
  AVCodecContext* decoder = avcodec_alloc_context3(codec);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  std::string frames;
  auto takeFrames = [&] {
    while (avcodec_receive_frame(decoder, frame) == 0) frames += bgrBytes(*frame);
  };
  if (avcodec_parameters_to_context(decoder, format->streams[index]->codecpar) >= 0 &&
      avcodec_open2(decoder, codec, nullptr) == 0) {
    while (av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == index && avcodec_send_packet(decoder, packet) == 0) takeFrames();
      av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    takeFrames();
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&decoder);
  return frames;
}

}  // namespace shell::testing
