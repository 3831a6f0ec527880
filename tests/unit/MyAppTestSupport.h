// Support for the renderer's tests: a window of the test process for the
// renderer to live on, the main module's globals it reads, and frames drawn into
// a real memory DC whose pixels the tests read back.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <atomic>
#include <algorithm>
#include <cmath>

#include "C_HDC.h"
#include "C_HDCCompat.h"
#include "MyApp.h"
#include "MySerialize.h"
#include "tamsel.h"

namespace mts {

constexpr wchar_t kRendererClass[] = L"CorvelaRendererTest";

inline LRESULT CALLBACK rendererProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcW(h, m, w, l);
}

// A hidden pop-up window of the test module, standing in for the indicator.
inline HWND makeRendererWindow(HINSTANCE instance = GetModuleHandleW(nullptr)) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = rendererProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kRendererClass;
  wc.style = CS_GLOBALCLASS;
  RegisterClassExW(&wc);  // a second registration fails harmlessly
  return CreateWindowExW(WS_EX_TOOLWINDOW, kRendererClass, L"renderer test", WS_POPUP, 0, 0, 10, 10,
                         nullptr, nullptr, instance, nullptr);
}

// Reads one pixel (x from the left, y from the top) of a bottom-up 32-bit DIB.
inline UINT32 pixelAt(const C_HDCCompat& dc, SIZE size, int x, int y) {
  const UINT32* bits = static_cast<const UINT32*>(dc.m_pBits);
  return bits[(size.cy - 1 - y) * size.cx + x];
}

// The main module's globals, the settings record and a window for the renderer.
class RendererFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    g_hInst = GetModuleHandleW(nullptr);
    g_pSettings.reset(new CMySerialize());
    m_hWnd = makeRendererWindow();
    ASSERT_NE(m_hWnd, nullptr);
  }
  void TearDown() override {
    m_app.reset();
    if (m_hWnd != nullptr) DestroyWindow(m_hWnd);
    g_pSettings.reset();
    g_hInst = nullptr;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // A renderer set up on the test window; the test fails if set-up posted WM_QUIT.
  CMyApp& renderer() {
    if (!m_app) {
      m_app.reset(new CMyApp());
      m_app->create(m_hWnd);
      MSG msg;
      EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
          << "set-up failed and posted WM_QUIT";
    }
    return *m_app;
  }

  // One frame into a fresh memory DC made from the window's DC, as the watcher does.
  struct Frame {
    std::unique_ptr<C_HDC> windowDC;
    std::unique_ptr<C_HDCCompat> memoryDC;
    SIZE size;
    UINT32 at(int x, int y) const { return pixelAt(*memoryDC, size, x, y); }
  };
  Frame drawFrame(SIZE size, const STRUCT_DRAW_INFO& info) {
    Frame f;
    f.size = size;
    f.windowDC.reset(new C_HDC(m_hWnd));
    f.memoryDC.reset(new C_HDCCompat(f.windowDC->m_hDC, size));
    renderer().draw(f.memoryDC->m_hDC, size, &info);
    return f;
  }

  HWND m_hWnd = nullptr;
  std::unique_ptr<CMyApp> m_app;
};

inline STRUCT_DRAW_INFO drawInfo(int imeOpen, const wchar_t* label, int dMode, int screenMode,
                                 int buttonWidth = 0) {
  STRUCT_DRAW_INFO info = {imeOpen, label, buttonWidth, nullptr, dMode, screenMode};
  return info;
}

// Closes the first message box with the given caption from a helper thread,
// keeping its text, so code that shows the box can run inside a test.
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
    while (!m_stop) {
      HWND box = FindWindowW(L"#32770", m_caption.c_str());
      if (box != nullptr && !m_seen) {
        EnumChildWindows(box, findStatic, reinterpret_cast<LPARAM>(&m_text));
        m_seen = true;
        SendMessageW(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(20);
    }
  }
  std::wstring m_caption;
  std::atomic<bool> m_stop;
  std::atomic<bool> m_seen;
  std::wstring m_text;
  std::thread m_thread;
};

}  // namespace mts
