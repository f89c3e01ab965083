#include "progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

constexpr int kCells = 30;
// Below this much progress an estimate of the time left says little.
constexpr double kEstimateFrom = 1.0;

// "m:ss", or "h:mm:ss" from an hour on.
std::string clockText(long long seconds) {
  char text[32];
  if (seconds < 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
  return text;
}

}  // namespace

std::string progressLine(double percent, std::chrono::seconds elapsed,
                         std::optional<unsigned> frames) {
  percent = std::clamp(percent, 0.0, 100.0);
  const int filled = int(percent / 100.0 * kCells);
  char number[16];
  std::snprintf(number, sizeof number, "%6.2f%%", percent);
  std::string line = "[" + std::string(size_t(filled), '#') +
                     std::string(size_t(kCells - filled), '-') + "] " + number + " " +
                     clockText(elapsed.count());
  if (percent >= kEstimateFrom) {
    const double left = double(elapsed.count()) * (100.0 - percent) / percent;
    line += ", " + clockText((long long)(left + 0.5)) + " left";
  }
  if (frames) line += ", Frame " + std::to_string(*frames);
  return line;
}

// Passes a stream's output on to its own buffer, after erasing the bar and
// under the bar's lock, and flushes it, so that it reaches the terminal
// before the bar is drawn again.
class ProgressBar::GuardBuffer : public std::streambuf {
 public:
  GuardBuffer(ProgressBar& bar, std::streambuf* target) : bar_(bar), target_(target) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char character = traits_type::to_char_type(c);
    return xsputn(&character, 1) == 1 ? c : traits_type::eof();
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    std::lock_guard lock(bar_.mutex_);
    bar_.erase();
    const std::streamsize written = target_->sputn(text, count);
    target_->pubsync();
    return written;
  }

  int sync() override {
    std::lock_guard lock(bar_.mutex_);
    return target_->pubsync();
  }

 private:
  ProgressBar& bar_;
  std::streambuf* target_;
};

ProgressBar::ProgressBar(const std::atomic<double>& progress, const std::atomic<unsigned>* frames,
                         std::ostream& terminal, const std::vector<std::ostream*>& guarded,
                         std::chrono::milliseconds interval)
    : progress_(progress), frames_(frames), terminal_(terminal.rdbuf()), interval_(interval) {
  for (std::ostream* stream : guarded) {
    Guard guard{stream, stream->rdbuf(), nullptr};
    guard.buffer = std::make_unique<GuardBuffer>(*this, guard.original);
    stream->rdbuf(guard.buffer.get());
    guards_.push_back(std::move(guard));
  }
  thread_ = std::thread([this] { run(); });
}

ProgressBar::~ProgressBar() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
  for (Guard& guard : guards_) guard.stream->rdbuf(guard.original);
}

void ProgressBar::run() {
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, interval_, [this] { return stopping_; })) draw();
  erase();
}

void ProgressBar::draw() {
  const double percent = progress_.load(std::memory_order_relaxed);
  const auto now = std::chrono::steady_clock::now();
  if (percent < 0.0 || percent < lastPercent_) frameStart_ = now;
  lastPercent_ = percent;
  if (percent < 0.0) return;
  std::string line =
      progressLine(percent, std::chrono::duration_cast<std::chrono::seconds>(now - frameStart_),
                   frames_ ? std::optional<unsigned>(frames_->load()) : std::nullopt);
  const size_t length = line.size();
  // A shorter line covers what is left of the longer one before it.
  if (length < shown_) line += std::string(shown_ - length, ' ');
  terminal_->sputn("\r", 1);
  terminal_->sputn(line.data(), std::streamsize(line.size()));
  terminal_->pubsync();
  shown_ = std::max(shown_, length);
}

void ProgressBar::erase() {
  if (shown_ == 0) return;
  const std::string blank = "\r" + std::string(shown_, ' ') + "\r";
  terminal_->sputn(blank.data(), std::streamsize(blank.size()));
  terminal_->pubsync();
  shown_ = 0;
}

}  // namespace cli
