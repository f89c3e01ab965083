#pragma once

#include <QCoreApplication>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace app {

// Asks the user from a build thread: `question` runs on the interface thread
// while the build thread waits for its answer. The wait ends without an
// answer once `givenUp` holds (the build was stopped, its document is
// closing), so an interface thread that waits for the build is never waited
// for in turn; a question not shown by then is not shown, and the answer of
// one that is open is dropped. The log needs no answer from the interface
// thread: build threads only queue their text for it.
template <typename Answer>
std::optional<Answer> askOnInterfaceThread(std::function<Answer()> question,
                                           std::function<bool()> givenUp) {
  struct Exchange {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<Answer> answer;
    bool closed = false;  // answered, or no longer waited for
  };
  const auto exchange = std::make_shared<Exchange>();
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [exchange, question = std::move(question), givenUp] {
        {
          std::lock_guard lock(exchange->mutex);
          if (exchange->closed) return;
        }
        if (givenUp()) return;
        Answer answer = question();  // a modal dialog: the lock is not held meanwhile
        std::lock_guard lock(exchange->mutex);
        if (exchange->closed) return;
        exchange->answer = std::move(answer);
        exchange->closed = true;
        exchange->answered.notify_all();
      },
      Qt::QueuedConnection);

  constexpr std::chrono::milliseconds kPoll(20);
  std::unique_lock lock(exchange->mutex);
  while (!exchange->closed) {
    if (givenUp()) {
      exchange->closed = true;
      return std::nullopt;
    }
    exchange->answered.wait_for(lock, kPoll);
  }
  return std::move(exchange->answer);
}

}  // namespace app
