// Runs the application's message loop from a test: until nothing is left to handle,
// or until the condition the test needs holds. Neither waits a fixed time.
#pragma once

#include <windows.h>

#include "gui/application.h"

namespace testsupport {

// Handles the messages queued for this thread, and those that handling them queues,
// until nothing is left (paints and expired timers included).
inline void PumpPending() {
  for (int Round = 0; Round < 10000; ++Round) {
    Application->ProcessMessages();
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
  }
}

// Handles messages until Done() holds or Timeout milliseconds passed, sleeping only
// while no message comes. The timeout only ends a wait that failed: it is generous,
// so that a machine with every core busy still passes.
template <class F>
bool PumpUntil(F Done, DWORD Timeout = 20000) {
  const DWORD End = GetTickCount() + Timeout;
  for (;;) {
    PumpPending();
    if (Done()) return true;
    const LONG Left = static_cast<LONG>(End - GetTickCount());
    if (Left <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(Left < 10 ? Left : 10), QS_ALLINPUT);
  }
}

}  // namespace testsupport
