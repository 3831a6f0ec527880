// End-to-end runs of the start-up splash: the window the desktop sees while Corvela
// starts, what it shows, and ending the program while it is still up.
//
// Xvfb runs no compositing manager here, so the splash's opacity is not applied on
// screen; its colour key is (the white of the pictures is cut out of the window).
#include <set>
#include <vector>

#include "E2eSupport.h"

using namespace e2e;

namespace {

// The colours of the screen's pixels in the rectangle, as the desktop shows them.
std::set<COLORREF> screenColours(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::set<COLORREF> colours;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
      GdiFlush();
      const DWORD* px = static_cast<const DWORD*>(bits);
      for (int i = 0; i < w * h; ++i) colours.insert(px[i] & 0xFFFFFF);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colours;
}

class SplashE2e : public CorvelaTest {
 protected:
  // The process's splash window once it is shown; null if none came up.
  HWND waitSplashShown(CorvelaProcess& app) {
    return waitForTopLevel(app.pid(), kSplashClass, nullptr, kDefaultTimeoutMs, true);
  }
};

TEST_F(SplashE2e, StartShowsTheCentredClickThroughSplashWithAPictureThenItGoes) {
  CorvelaProcess& app = start(L"/DBG:111:INFO");
  HWND splash = waitSplashShown(app);
  ASSERT_NE(nullptr, splash) << "no splash came up";
  HWND main = app.waitMainWindow();
  ASSERT_NE(nullptr, main);
  EXPECT_EQ(main, GetWindow(splash, GW_OWNER));

  RECT r = {};
  ASSERT_TRUE(GetWindowRect(splash, &r));
  EXPECT_EQ(400, r.right - r.left);
  EXPECT_EQ(200, r.bottom - r.top);
  EXPECT_EQ((GetSystemMetrics(SM_CXFULLSCREEN) - 400) / 2, r.left);
  EXPECT_EQ((GetSystemMetrics(SM_CYFULLSCREEN) - 200) / 2, r.top);
  const LONG want = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST;
  EXPECT_EQ(want, GetWindowLongW(splash, GWL_EXSTYLE) & want);
  EXPECT_EQ(WS_POPUP, GetWindowLongW(splash, GWL_STYLE) & (WS_POPUP | WS_CAPTION));

  // A picture, not a flat area: the plate, its chips and the crow.
  size_t most = 0;
  waitUntil(
      [&] {
        most = std::max(most, screenColours(RECT{r.left, r.top, r.left + 300, r.bottom}).size());
        return most >= 8 || !IsWindow(splash);
      },
      5000);
  EXPECT_GE(most, 8u) << "the splash showed no picture";

  EXPECT_TRUE(waitUntil([&] { return !IsWindow(splash); }, 10000)) << "the splash stayed";
  EXPECT_TRUE(app.running());
  EXPECT_EQ(0u, app.end());
  EXPECT_FALSE(contains(app.log(), L"ERROR")) << narrow(app.log());
}

TEST_F(SplashE2e, ExitCommandWhileTheSplashIsUpEndsWithZero) {
  CorvelaProcess& app = start(L"/DBG:111:INFO");
  HWND splash = waitSplashShown(app);
  ASSERT_NE(nullptr, splash) << "no splash came up";
  ASSERT_NE(nullptr, app.waitMainWindow());
  // Posted while the main window is still being set up: the splash is still cycling
  // its pictures when the window goes and the program ends.
  ASSERT_TRUE(app.post(WM_COMMAND, kCmdExit));
  DWORD code = CorvelaProcess::kNoExitCode;
  ASSERT_TRUE(app.waitExit(&code));
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(contains(app.log(), L"Corvela END.")) << narrow(app.log());
  EXPECT_FALSE(contains(app.log(), L"splash thread did not end")) << narrow(app.log());
}

}  // namespace
