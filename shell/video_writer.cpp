#include "video_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "atomic_file.h"
#include "platform.h"
#include "video_codecs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace shell {

namespace {

// Tells AVI readers that the uncompressed rows are stored bottom row first,
// as in a device-independent bitmap.
constexpr char kBottomUpMarker[] = "BottomUp";

// Uncompressed frames need no encoder: the rows go into the file as they are.
constexpr std::string_view kRawVideo = "rawvideo";

// Maps quality 1..100 to the quantiser scale 31..2 (lower is better).
int quantiserScale(int quality) {
  return 2 + (100 - std::clamp(quality, 1, 100)) * 29 / 99;
}

// Maps quality 1..100 to the codec's constant rate factor, worst to best.
int rateFactor(const VideoCodecInfo& codec, int quality) {
  return codec.bestRateFactor +
         (100 - std::clamp(quality, 1, 100)) * (codec.worstRateFactor - codec.bestRateFactor) / 99;
}

int evenUp(int size) {
  return size + (size & 1);
}

std::string avReason(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return text;
}

}  // namespace

struct VideoWriter::Output {
  explicit Output(const std::string& path) : file(pathFromUtf8(path)) {}

  // FFmpeg writes the temporary file; it replaces the target when the video
  // is complete, so that a failed export leaves an older video as it was.
  AtomicFile file;
  AVFormatContext* format = nullptr;
  AVStream* stream = nullptr;
  AVCodecContext* encoder = nullptr;  // none for raw video
  SwsContext* converter = nullptr;
  AVFrame* picture = nullptr;
  AVPacket* packet = nullptr;
  int width = 0, height = 0, stride = 0, fps = 0;
  bool intraOnly = true;  // every frame a key frame, for editing

  ~Output() {
    av_packet_free(&packet);
    av_frame_free(&picture);
    sws_freeContext(converter);
    avcodec_free_context(&encoder);
    if (format) avio_closep(&format->pb);
    avformat_free_context(format);
  }

  size_t frameBytes() const { return size_t(stride) * height; }

  bool describeRawStream() {
    AVCodecParameters* par = stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_RAWVIDEO;
    par->codec_tag = 0;
    par->format = AV_PIX_FMT_BGR24;
    par->width = width;
    par->height = height;
    par->bits_per_coded_sample = 24;
    par->extradata =
        static_cast<uint8_t*>(av_mallocz(sizeof kBottomUpMarker + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!par->extradata) return false;
    std::memcpy(par->extradata, kBottomUpMarker, sizeof kBottomUpMarker);
    par->extradata_size = sizeof kBottomUpMarker;
    return true;
  }

  // Players' codecs: 4:2:0 of even size, as most players need it, tagged
  // as the conversion makes it; key frames and quality as the encoder likes.
  bool setRateFactor(const VideoCodecInfo& info, int quality) {
    encoder->width = evenUp(width);
    encoder->height = evenUp(height);
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->color_range = AVCOL_RANGE_MPEG;
    encoder->colorspace = AVCOL_SPC_SMPTE170M;
    encoder->bit_rate = 0;
    return av_opt_set_int(encoder->priv_data, "crf", rateFactor(info, quality), 0) == 0;
  }

  bool openEncoder(const AVCodec* codec, const VideoCodecInfo& info, int quality) {
    encoder = avcodec_alloc_context3(codec);
    if (!encoder) return false;
    encoder->width = width;
    encoder->height = height;
    encoder->time_base = {1, fps};
    encoder->framerate = {fps, 1};
    intraOnly = !info.usesRateFactor();
    if (!intraOnly) {
      if (!setRateFactor(info, quality)) return false;
    } else if (codec->id == AV_CODEC_ID_MJPEG) {
      // Full-range 4:2:0, as JPEG wants it.
      encoder->pix_fmt = AV_PIX_FMT_YUV420P;
      encoder->color_range = AVCOL_RANGE_JPEG;
    } else {
      encoder->pix_fmt =
          avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, AV_PIX_FMT_BGR24, 0, nullptr);
    }
    if (intraOnly) encoder->gop_size = 1;
    if (intraOnly && info.takesQuality) {
      encoder->flags |= AV_CODEC_FLAG_QSCALE;
      encoder->global_quality = FF_QP2LAMBDA * quantiserScale(quality);
    }
    if (format->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return avcodec_open2(encoder, codec, nullptr) == 0;
  }

  bool prepareConversion() {
    converter = sws_alloc_context();
    picture = av_frame_alloc();
    if (!converter || !picture) return false;
    av_opt_set_int(converter, "srcw", width, 0);
    av_opt_set_int(converter, "srch", height, 0);
    av_opt_set_pixel_fmt(converter, "src_format", AV_PIX_FMT_BGR24, 0);
    av_opt_set_int(converter, "dstw", encoder->width, 0);
    av_opt_set_int(converter, "dsth", encoder->height, 0);
    av_opt_set_pixel_fmt(converter, "dst_format", encoder->pix_fmt, 0);
    av_opt_set_int(converter, "dst_range", encoder->color_range == AVCOL_RANGE_JPEG, 0);
    av_opt_set_int(converter, "sws_flags", SWS_BILINEAR, 0);
    if (sws_init_context(converter, nullptr, nullptr) < 0) return false;
    picture->format = encoder->pix_fmt;
    picture->width = encoder->width;
    picture->height = encoder->height;
    picture->color_range = encoder->color_range;
    return av_frame_get_buffer(picture, 0) == 0 &&
           avcodec_parameters_from_context(stream->codecpar, encoder) >= 0;
  }

  bool writePacket() {
    packet->stream_index = stream->index;
    av_packet_rescale_ts(packet, AVRational{1, fps}, stream->time_base);
    const bool written = av_write_frame(format, packet) == 0;
    av_packet_unref(packet);
    return written;
  }

  // Pushes the frame to the file now, so that a full disk fails this frame
  // rather than a later one or only the closing.
  bool flush() {
    avio_flush(format->pb);
    return format->pb->error == 0;
  }

  bool writeRawFrame(const uint8_t* bits, int64_t index) {
    if (av_new_packet(packet, int(frameBytes())) < 0) return false;
    std::memcpy(packet->data, bits, frameBytes());
    packet->pts = packet->dts = index;
    packet->duration = 1;
    packet->flags |= AV_PKT_FLAG_KEY;
    return writePacket();
  }

  // Sends a frame (or, with none, the end of the stream) to the encoder and
  // writes every packet it gives back.
  bool encode(const AVFrame* frame) {
    if (avcodec_send_frame(encoder, frame) < 0) return false;
    for (;;) {
      const int result = avcodec_receive_packet(encoder, packet);
      if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
      if (result < 0 || !writePacket()) return false;
    }
  }

  bool encodeFrame(const uint8_t* bits, int64_t index) {
    if (av_frame_make_writable(picture) < 0) return false;
    // Bottom row first: start at the top row and walk the rows backwards.
    const uint8_t* topRow[] = {bits + size_t(stride) * (height - 1)};
    const int rowStep[] = {-stride};
    sws_scale(converter, topRow, rowStep, 0, height, picture->data, picture->linesize);
    picture->pts = index;
    picture->pict_type = intraOnly ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    picture->quality = encoder->global_quality;
    return encode(picture);
  }
};

VideoWriter::VideoWriter() = default;

VideoWriter::~VideoWriter() {
  close();
}

std::string VideoWriter::open(const std::string& path, int width, int height, int framesPerSecond,
                              const std::string& codecName, int quality, VideoContainer container) {
  close();
  framesWritten_ = 0;
  reason_.clear();
  // Encoders announce themselves and their statistics; only their errors
  // belong on the error stream.
  av_log_set_level(AV_LOG_ERROR);
  const std::optional<VideoCodecInfo> codec = findVideoCodec(codecName, container);
  if (!codec) return kCantCreateCompressedStream;
  if (av_image_check_size(width, height, 0, nullptr) < 0) return kCantSelectStreamFormat;

  auto out = std::make_unique<Output>(path);
  out->width = width;
  out->height = height;
  out->stride = (width * 3 + 3) & ~3;
  out->fps = animationFrameRate(framesPerSecond);
  if (avformat_alloc_output_context2(&out->format, nullptr, videoMuxer(container), path.c_str()) <
      0) {
    return kCantOpenVideoFile;
  }
  out->stream = avformat_new_stream(out->format, nullptr);
  out->packet = av_packet_alloc();
  if (!out->stream || !out->packet) return kCantCreateVideoStream;
  out->stream->time_base = {1, out->fps};
  out->stream->avg_frame_rate = {out->fps, 1};

  if (codec->name == kRawVideo) {
    if (!out->describeRawStream()) return kCantSelectStreamFormat;
  } else {
    if (!out->openEncoder(avcodec_find_encoder_by_name(codec->name.c_str()), *codec, quality)) {
      return kCantCreateCompressedStream;
    }
    if (!out->prepareConversion()) return kCantSelectStreamFormat;
  }

  if (!out->file.open()) {
    reason_ = out->file.error();
    return kCantOpenVideoFile;
  }
  if (const int error =
          avio_open(&out->format->pb, utf8Name(out->file.writePath()).c_str(), AVIO_FLAG_WRITE);
      error < 0) {
    reason_ = avReason(error);
    return kCantOpenVideoFile;
  }
  if (avformat_write_header(out->format, nullptr) < 0) return kCantSelectStreamFormat;
  output_ = std::move(out);
  return {};
}

bool VideoWriter::writeFrame(std::span<const uint8_t> bits) {
  if (!output_ || bits.size() < output_->frameBytes()) return false;
  const bool written = (output_->encoder ? output_->encodeFrame(bits.data(), framesWritten_)
                                         : output_->writeRawFrame(bits.data(), framesWritten_)) &&
                       output_->flush();
  if (written) ++framesWritten_;
  if (!written && output_->format->pb->error) reason_ = avReason(output_->format->pb->error);
  return written;
}

bool VideoWriter::close() {
  if (!output_) return true;
  bool finished = !output_->encoder || output_->encode(nullptr);
  finished = av_write_trailer(output_->format) == 0 && finished;
  const int pbError = output_->format->pb->error;
  finished = avio_closep(&output_->format->pb) == 0 && pbError == 0 && finished;
  if (!finished) reason_ = avReason(pbError ? pbError : AVERROR(EIO));
  if (finished && !output_->file.commit()) {
    reason_ = output_->file.error();
    finished = false;
  }
  output_.reset();
  return finished;
}

}  // namespace shell
