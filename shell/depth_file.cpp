#include "depth_file.h"

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfIO.h>
#include <ImfOutputFile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "atomic_file.h"
#include "engine/frame_buffer.h"

namespace shell {

namespace {

// OpenEXR writes through a stream of its own; this one fills the atomic
// file's temporary file. Failures leave by exception, as OpenEXR expects.
class ExrStream : public Imf::OStream {
 public:
  ExrStream(std::FILE* file, const std::string& name) : Imf::OStream(name.c_str()), file_(file) {}

  void write(const char c[], int n) override {
    if (std::fwrite(c, 1, size_t(n), file_) != size_t(n)) fail();
  }
  uint64_t tellp() override {
    const off_t at = ftello(file_);
    if (at < 0) fail();
    return uint64_t(at);
  }
  void seekp(uint64_t pos) override {
    if (fseeko(file_, off_t(pos), SEEK_SET) != 0) fail();
  }

 private:
  [[noreturn]] static void fail() { throw std::runtime_error(std::strerror(errno ? errno : EIO)); }

  std::FILE* file_;
};

// The depth rows top first, as OpenEXR stores them.
std::vector<float> topFirst(const engine::FrameBuffer& frame) {
  std::vector<float> rows(frame.depth.size());
  for (uint32_t y = 0; y < frame.height; ++y) {
    const float* from = frame.depth.data() + size_t(frame.height - 1 - y) * frame.width;
    std::copy(from, from + frame.width, rows.begin() + ptrdiff_t(size_t(y) * frame.width));
  }
  return rows;
}

void writeZ(const std::vector<float>& depth, uint32_t width, uint32_t height, ExrStream& stream) {
  Imf::Header header(static_cast<int>(width), static_cast<int>(height));
  header.channels().insert("Z", Imf::Channel(Imf::FLOAT));
  Imf::FrameBuffer slices;
  slices.insert(
      "Z", Imf::Slice(Imf::FLOAT, const_cast<char*>(reinterpret_cast<const char*>(depth.data())),
                      sizeof(float), sizeof(float) * width));
  Imf::OutputFile file(stream, header);
  file.setFrameBuffer(slices);
  file.writePixels(int(height));
}

}  // namespace

std::string writeDepthExr(const engine::FrameBuffer& frame, const std::filesystem::path& path) {
  if (!frame.hasImage() || frame.depth.size() != size_t(frame.width) * frame.height)
    return "no depth buffer";
  const std::vector<float> depth = topFirst(frame);
  AtomicFile file(path);
  if (!file.open()) return file.error();
  try {
    ExrStream stream(file.stream(), path.string());
    writeZ(depth, frame.width, frame.height, stream);
  } catch (const std::exception& failure) {
    file.abandon(0);
    return failure.what();
  }
  file.commit();
  return file.error();
}

}  // namespace shell
