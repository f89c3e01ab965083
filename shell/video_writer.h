#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "video_codecs.h"

namespace shell {

// Messages of the animation export, for the callers to print on std::cerr.
inline constexpr const char* kCantOpenVideoFile =
    "Can't open avi file to save animation\nMay be Video For Windows library is broken";
inline constexpr const char* kCantCreateVideoStream = "Can't create avi stream to save animation";
inline constexpr const char* kCantCreateCompressedStream =
    "Can't create compressed stream\nMay be the selected codec driver is broken";
inline constexpr const char* kCantSelectStreamFormat =
    "Can't select compressed stream format\nMay be the selected codec driver is broken";
inline constexpr const char* kCantWriteFrame =
    "Can't write frame to avi file\nMay be the selected codec driver is broken\nor disk is full";

// Writes an animation as one video stream in a video file, one frame per
// call: in an AVI file every frame a key frame where the codec allows, in
// the players' formats (MP4, Matroska, WebM) 4:2:0 frames as the encoder
// compresses them best.
class VideoWriter {
 public:
  VideoWriter();
  ~VideoWriter();  // closes the file
  VideoWriter(const VideoWriter&) = delete;
  VideoWriter& operator=(const VideoWriter&) = delete;

  // Creates the file for frames of the given size. The frame rate follows
  // animationFrameRate; the codec is one of availableVideoCodecs(container),
  // quality 1..100 for those that take one. Returns an empty string on
  // success, else the message to print; a writer that failed to open stays
  // closed. Frames of an odd size are scaled to the next even one where the
  // codec needs it.
  [[nodiscard]] std::string open(const std::string& path, int width, int height,
                                 int framesPerSecond, const std::string& codec, int quality,
                                 VideoContainer container = VideoContainer::Avi);
  // Appends one frame: rows bottom first, blue-green-red, each row padded to
  // a multiple of 4 bytes (a frame buffer's bits). False when the writer is
  // not open, the frame is too short or writing failed (kCantWriteFrame).
  bool writeFrame(std::span<const uint8_t> bits);
  // Finishes the file, which then replaces any file of its name; false when
  // its end could not be written, and then an older file of that name stays
  // as it was. Does nothing when not open.
  bool close();

  bool isOpen() const { return output_ != nullptr; }
  // Frames written to the file opened last; also the index of the next one.
  unsigned framesWritten() const { return framesWritten_; }
  // The system's reason for the last failure to create or write the file.
  const std::string& failureReason() const { return reason_; }

 private:
  struct Output;
  std::unique_ptr<Output> output_;
  unsigned framesWritten_ = 0;
  std::string reason_;
};

}  // namespace shell
