// Support for unit tests that need real windows, the debug log, or the watcher's globals.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <atomic>

#include "Dbg.h"
#include "SettingsTestSupport.h"
#include "TestWait.h"
#include "MyDialogBox.h"
#include "MySerialize.h"
#include "tamsel.h"

namespace wts {

constexpr wchar_t kTestClass[] = L"CorvelaUnitTestWindow";

inline LRESULT CALLBACK plainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcW(h, m, w, l);
}

inline void registerTestClass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;  // for windows of other modules too
  wc.lpfnWndProc = plainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = kTestClass;
  RegisterClassExW(&wc);  // a second registration fails harmlessly
}

// A window of the test class, shown without activation when `visible`; it belongs to
// the module `instance` (default: the test program).
inline HWND makeWindow(const wchar_t* title, DWORD style, DWORD exStyle = 0, HWND parent = nullptr,
                       RECT r = {100, 100, 400, 300}, bool visible = true,
                       HINSTANCE instance = nullptr) {
  registerTestClass();
  if (instance == nullptr) instance = GetModuleHandleW(nullptr);
  HWND h = CreateWindowExW(exStyle, kTestClass, title, style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, nullptr, instance, nullptr);
  if (h != nullptr && visible) ShowWindow(h, SW_SHOWNOACTIVATE);
  return h;
}

using testwait::pumpMessages;
using testwait::waitUntil;

// Reports a rectangle that is not the one wanted with both.
inline ::testing::AssertionResult rectIs(const RECT& r, LONG l, LONG t, LONG rr, LONG b) {
  if (r.left == l && r.top == t && r.right == rr && r.bottom == b)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got {" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "} want {"
         << l << "," << t << "," << rr << "," << b << "}";
}

// Closes the first message box with the given caption from a helper thread, keeping
// its text, so code that shows the box can run inside a test.
class BoxCloser {
 public:
  explicit BoxCloser(const wchar_t* caption) : m_caption(caption), m_stop(false), m_seen(false) {
    m_thread = std::thread([this] { run(); });
  }
  ~BoxCloser() {
    m_stop = true;
    m_thread.join();
  }
  bool seen() const { return m_seen; }
  const std::wstring& text() const { return m_text; }

 private:
  static BOOL CALLBACK findStatic(HWND child, LPARAM param) {
    wchar_t cls[32] = L"";
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
      wchar_t buf[1024] = L"";
      GetWindowTextW(child, buf, 1024);
      *reinterpret_cast<std::wstring*>(param) = buf;
      return FALSE;
    }
    return TRUE;
  }
  void run() {
    testwait::waitUntil(
        [this] {
          if (m_stop) return true;
          HWND box = FindWindowW(L"#32770", m_caption.c_str());
          if (box == nullptr) return false;
          EnumChildWindows(box, findStatic, reinterpret_cast<LPARAM>(&m_text));
          m_seen = true;
          SendMessageW(box, WM_COMMAND, IDOK, 0);
          return true;
        },
        INFINITE);
  }
  std::wstring m_caption;
  std::atomic<bool> m_stop;
  std::atomic<bool> m_seen;
  std::wstring m_text;
  std::thread m_thread;
};

// Sends the log to a file of its own in the current directory at the INFO threshold,
// and puts the log switches back as they were at the end.
class LogCapture {
 public:
  explicit LogCapture(const wchar_t* fileName) : m_name(fileName) {
    initLog(fileName, 1, 0, 1, LOG_INFO);
  }
  ~LogCapture() { _wremove(m_name.c_str()); }
  // The log's bytes as written (multibyte code page).
  std::string text() const {
    std::ifstream in(std::wstring(reinterpret_cast<const wchar_t*>(cm_dbgFile)).c_str(),
                     std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
  bool contains(const std::wstring& piece) const {
    return text().find(toMultiByte(piece)) != std::string::npos;
  }
  size_t count(const std::wstring& piece) const {
    std::string all = text(), bytes = toMultiByte(piece);
    size_t n = 0;
    for (size_t at = all.find(bytes); at != std::string::npos; at = all.find(bytes, at + 1)) ++n;
    return n;
  }

 private:
  sts::SavedLogState m_saved;  // first in, last out: the switches come back after the removal
  std::wstring m_name;
};

// The main module's globals as the watcher expects them after start-up, reset afterwards.
class WatchGlobals {
 public:
  WatchGlobals() {
    g_hInst = GetModuleHandleW(nullptr);
    wcscpy(g_szWindowClass, L"CORVELA");
    wcscpy(g_szTitle, L"Corvela");
    g_pSettings.reset(new CMySerialize());
    g_pDialogBox.reset(new MyDialogBox());
  }
  ~WatchGlobals() {
    g_pDialogBox.reset();
    g_pSettings.reset();
    g_szWindowClass[0] = L'\0';
    g_szTitle[0] = L'\0';
    g_hInst = nullptr;
  }
};

}  // namespace wts
