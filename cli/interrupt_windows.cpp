#include <windows.h>

#include "interrupt.h"

namespace cli {

namespace {

std::atomic<std::atomic<bool>*> cancelFlag{nullptr};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  // Taken once: the next Ctrl+C finds no flag and has its default effect.
  std::atomic<bool>* flag = cancelFlag.exchange(nullptr);
  if (!flag) return FALSE;
  flag->store(true);
  return TRUE;
}

}  // namespace

InterruptCancels::InterruptCancels(std::atomic<bool>& flag) {
  cancelFlag = &flag;
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptCancels::~InterruptCancels() {
  SetConsoleCtrlHandler(onConsoleEvent, FALSE);
  cancelFlag = nullptr;
}

}  // namespace cli
