// Windows of the in-process indicator tests: a stand-in for the indicator (the
// program's main window styles) and captioned targets, all on the test thread.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>

#include "WindowTestSupport.h"
#include "tamsel.h"

namespace indicator_test {

constexpr DWORD kIndicatorExStyle =
    WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST;

inline void ensureInstance() {
  if (g_hInst == NULL) g_hInst = GetModuleHandleW(NULL);
}

inline const wchar_t* testWindowClass() {
  wts::registerTestClass();
  return wts::kTestClass;
}

// A top-level window of the test thread, destroyed with the object.
class TestWindow {
 public:
  TestWindow(const std::wstring& title, RECT r, DWORD style, DWORD exStyle = 0) {
    m_hWnd = CreateWindowExW(exStyle, testWindowClass(), title.c_str(), style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, NULL, NULL, GetModuleHandleW(NULL),
                             NULL);
  }
  ~TestWindow() {
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND hwnd() const { return m_hWnd; }
  void destroy() { DestroyWindow(m_hWnd); }

 private:
  HWND m_hWnd = NULL;
};

// The indicator's stand-in: a layered, click-through, topmost tool popup.
inline RECT defaultIndicatorRect() { return RECT{0, 0, 400, 300}; }

// A captioned, visible application window in front.
inline DWORD targetStyle() { return WS_OVERLAPPEDWINDOW | WS_VISIBLE; }

// Waits for the window's next WM_TIMER of id a or b and returns that id (0 on time-out),
// taking the window's timer messages out of the queue; nothing else is handled meanwhile.
inline UINT_PTR waitTimers(HWND hWnd, UINT_PTR a, UINT_PTR b,
                           DWORD timeoutMs = testwait::kDefaultTimeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  MSG msg;
  for (;;) {
    while (PeekMessageW(&msg, hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      if (msg.wParam == a || msg.wParam == b) return msg.wParam;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return 0;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, (DWORD)std::min<ULONGLONG>(end - now, 10),
                              QS_TIMER);
  }
}

inline bool waitTimer(HWND hWnd, UINT_PTR id) { return waitTimers(hWnd, id, id) == id; }

// Whether the window's timer of the id falls due before a probe timer of probeMs set
// now on the same window. Timers come in the order they fall due, so a timer that is
// gone, or was re-armed with a longer period, loses to the probe.
inline bool timerDueBefore(HWND hWnd, UINT_PTR id, UINT probeMs) {
  constexpr UINT_PTR kProbe = 0x7E57;
  SetTimer(hWnd, kProbe, probeMs, nullptr);
  const UINT_PTR first = waitTimers(hWnd, id, kProbe);
  KillTimer(hWnd, kProbe);
  return first == id;
}

// Takes every WM_TIMER of the window out of the queue.
inline void dropTimers(HWND hWnd) {
  MSG msg;
  while (PeekMessageW(&msg, hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
}

struct LayeredAttributes {
  BOOL ok;
  COLORREF key;
  BYTE alpha;
  DWORD flags;
};

inline LayeredAttributes layeredAttributes(HWND hWnd) {
  LayeredAttributes a{FALSE, 0, 0, 0};
  a.ok = GetLayeredWindowAttributes(hWnd, &a.key, &a.alpha, &a.flags);
  return a;
}

inline RECT windowRect(HWND hWnd) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(hWnd, &r);
  return r;
}

}  // namespace indicator_test
