#include "log_stream_buffer.h"

#include <iostream>

namespace app {

std::atomic<bool> LogStreamBuffer::stopWait{false};

LogStreamBuffer::LogStreamBuffer(std::streambuf* fallback) : fallback_(fallback) {}

void LogStreamBuffer::setSink(Sink sink) {
  std::lock_guard lock(mutex_);
  sink_ = std::move(sink);
}

void LogStreamBuffer::clearPending() {
  std::lock_guard lock(mutex_);
  used_ = 0;
  pending_.clear();
}

LogStreamBuffer::int_type LogStreamBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  std::lock_guard lock(mutex_);
  if (used_ == kAreaSize) flushLocked();
  area_[used_++] = traits_type::to_char_type(c);
  return c;
}

std::streamsize LogStreamBuffer::xsputn(const char* s, std::streamsize n) {
  std::lock_guard lock(mutex_);
  for (std::streamsize i = 0; i < n; ++i) {
    if (used_ == kAreaSize) flushLocked();
    area_[used_++] = s[i];
  }
  return n;
}

int LogStreamBuffer::sync() {
  std::lock_guard lock(mutex_);
  flushLocked();
  return 0;
}

void LogStreamBuffer::flushLocked() {
  const std::string_view run(area_.data(), used_);
  used_ = 0;
  if (!sink_) {
    if (fallback_) {
      fallback_->sputn(run.data(), std::streamsize(run.size()));
      fallback_->pubsync();
    }
    return;
  }
  const std::string chunk = pending_.take(run, stopWait);
  if (!chunk.empty()) sink_(chunk);
}

namespace {

// Redirects both standard streams for the process lifetime.
struct StandardRedirection {
  std::streambuf* oldOut = std::cout.rdbuf();
  std::streambuf* oldErr = std::cerr.rdbuf();
  LogStreamBuffer buffer{oldOut};

  StandardRedirection() {
    std::cout.rdbuf(&buffer);
    std::cerr.rdbuf(&buffer);
    std::cout.clear();
    std::cerr.clear();
  }
  ~StandardRedirection() {
    std::cout.flush();
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
  }
};

}  // namespace

LogStreamBuffer& LogStreamBuffer::standardStreams() {
  static StandardRedirection redirection;
  return redirection.buffer;
}

}  // namespace app
