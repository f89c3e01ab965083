#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <streambuf>
#include <string>

#include "pending_log_text.h"

namespace app {

// The stream buffer behind std::cout and std::cerr while the application
// runs: characters are collected in a 200-character area and handed to the
// log window one line or 200 characters at a time. Build threads write at the
// same time, so the area is managed under a lock rather than through the
// unguarded put pointers of std::streambuf.
class LogStreamBuffer : public std::streambuf {
 public:
  static constexpr std::size_t kAreaSize = 200;
  // Receives text to show; called on the writing thread, under the lock.
  using Sink = std::function<void(const std::string& chunk)>;

  // Text written while no sink is set goes on to `fallback`.
  explicit LogStreamBuffer(std::streambuf* fallback);

  void setSink(Sink sink);
  // Forgets text that was received but not yet shown.
  void clearPending();

  // The process-wide buffer; std::cout and std::cerr are redirected to it on
  // first use and given back their own buffers at exit.
  static LogStreamBuffer& standardStreams();

  // Set while the interface thread waits for a build thread: writers then
  // only collect text, shown with the next write after the flag is cleared.
  static std::atomic<bool> stopWait;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  void flushLocked();

  std::mutex mutex_;
  std::array<char, kAreaSize> area_{};
  std::size_t used_ = 0;
  PendingLogText pending_;
  Sink sink_;
  std::streambuf* fallback_;
};

}  // namespace app
