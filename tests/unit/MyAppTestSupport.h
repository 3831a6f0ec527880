// Support for the renderer's tests: a window of the test process for the
// renderer to live on, the main module's globals it reads, and frames drawn into
// a real memory DC whose pixels the tests read back.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <algorithm>
#include <cmath>

#include "C_HDC.h"
#include "C_HDCCompat.h"
#include "MyApp.h"
#include "MySerialize.h"
#include "WindowTestSupport.h"
#include "tamsel.h"

namespace mts {

// A hidden pop-up tool window of the module `instance`, standing in for the indicator.
inline HWND makeRendererWindow(HINSTANCE instance = GetModuleHandleW(nullptr)) {
  return wts::makeWindow(L"renderer test", WS_POPUP, WS_EX_TOOLWINDOW, nullptr, RECT{0, 0, 10, 10},
                         false, instance);
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

// A wide string buffer filled by CMyApp::getFontInfo, deleted at the end.
struct NameOwner {
  wchar_t* text = nullptr;
  NameOwner() = default;
  NameOwner(const NameOwner&) = delete;
  NameOwner& operator=(const NameOwner&) = delete;
  ~NameOwner() { delete[] text; }
};

inline STRUCT_DRAW_INFO drawInfo(int imeOpen, const wchar_t* label, int dMode, int screenMode,
                                 int buttonWidth = 0) {
  STRUCT_DRAW_INFO info = {imeOpen, label, buttonWidth, nullptr, dMode, screenMode};
  return info;
}

}  // namespace mts
