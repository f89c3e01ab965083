#include "interrupt.h"

#include <csignal>

namespace cli {

namespace {

std::atomic<std::atomic<bool>*> cancelFlag{nullptr};

void onInterrupt(int) {
  // Lock-free atomics are safe to touch in a signal handler.
  if (std::atomic<bool>* flag = cancelFlag.load()) flag->store(true);
}

void setHandler(void (*handler)(int), int flags) {
  struct sigaction action = {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

InterruptCancels::InterruptCancels(std::atomic<bool>& flag) {
  static_assert(std::atomic<bool>::is_always_lock_free);
  cancelFlag = &flag;
  // SA_RESETHAND: the next Ctrl+C has its default effect again.
  setHandler(onInterrupt, SA_RESETHAND);
}

InterruptCancels::~InterruptCancels() {
  setHandler(SIG_DFL, 0);
  cancelFlag = nullptr;
}

}  // namespace cli
