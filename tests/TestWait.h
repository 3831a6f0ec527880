// Waiting in tests: on a condition, pumping the calling thread's messages meanwhile so
// that its windows keep answering. Nothing here sleeps for a fixed time; the limit only
// ends a wait whose condition never comes.
#pragma once
#include <windows.h>

#include <algorithm>
#include <functional>

namespace testwait {

constexpr DWORD kDefaultTimeoutMs = 20000;

// Handles every message waiting for the calling thread.
inline void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Pumps messages until pred holds; false once timeoutMs passed without it. Between
// checks it wakes for any message of the thread, or after 10 ms for conditions that
// no message announces (another thread's or process's state).
inline bool waitUntil(const std::function<bool()>& pred, DWORD timeoutMs = kDefaultTimeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    pumpMessages();
    if (pred()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, (DWORD)std::min<ULONGLONG>(end - now, 10),
                              QS_ALLINPUT);
  }
}

// Waits for a message of the window in the range, taking it out of the queue (and
// handling every other message meanwhile).
inline bool waitMessage(HWND hWnd, UINT first, UINT last, MSG* got,
                        DWORD timeoutMs = kDefaultTimeoutMs) {
  return waitUntil([&] { return PeekMessageW(got, hWnd, first, last, PM_REMOVE) != FALSE; },
                   timeoutMs);
}

}  // namespace testwait
