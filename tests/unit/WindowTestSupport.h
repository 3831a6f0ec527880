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

#include "Dbg.h"
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
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = plainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = kTestClass;
  RegisterClassExW(&wc);  // a second registration fails harmlessly
}

// A window of the test class, shown without activation when `visible`.
inline HWND makeWindow(const wchar_t* title, DWORD style, DWORD exStyle = 0, HWND parent = nullptr,
                       RECT r = {100, 100, 400, 300}, bool visible = true) {
  registerTestClass();
  HWND h = CreateWindowExW(exStyle, kTestClass, title, style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (h != nullptr && visible) ShowWindow(h, SW_SHOWNOACTIVATE);
  return h;
}

inline void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Polls pred every 10 ms (handling the thread's messages between) until it holds or
// timeoutMs passed; the last answer.
inline bool waitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 10000) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (pred()) return true;
    if (GetTickCount64() >= end) return pred();
    pumpMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Sends the log to a file of its own in the current directory at the INFO threshold,
// and puts the log switches back as they were at the end.
class LogCapture {
 public:
  explicit LogCapture(const wchar_t* fileName) : m_name(fileName) {
    m_fileOut = s_fileOut;
    m_level = cm_level;
    m_dbgOut = s_dbgOut;
    m_dllOut = cm_dllOut;
    memcpy(m_path, cm_dbgFile, sizeof(m_path));
    initLog(fileName, 1, 0, 1, LOG_INFO);
  }
  ~LogCapture() {
    s_fileOut = m_fileOut;
    cm_level = m_level;
    s_dbgOut = m_dbgOut;
    cm_dllOut = m_dllOut;
    memcpy(cm_dbgFile, m_path, sizeof(m_path));
    _wremove(m_name.c_str());
  }
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
  std::wstring m_name;
  int m_fileOut;
  LOG_LEVEL m_level;
  int m_dbgOut;
  int m_dllOut;
  char m_path[sizeof(cm_dbgFile)];
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
