// The watcher on a desktop, in-process: a test-owned stand-in for the indicator
// and captioned targets on the test thread. Placement, layered attributes,
// stacking, blinking, timers, the hover countdown and the movable fixed mode.
//
// Wine reports desktop composition off, so the draws here go the way without
// composition (SetLayeredWindowAttributes and BitBlt), which is what lets
// GetLayeredWindowAttributes read the key and the opacity back.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "CMyException.h"
#include "C_HBITMAP.h"
#include "C_HDC.h"
#include "C_HDCCompat.h"
#include "C_ThemeData.h"
#include "MyApp.h"
#include "IndicatorWindows.h"
#include "MySerialize.h"
#include "MyToolTip.h"
#include "Watch.h"
#include "WatchProbe.h"
#include "tamsel.h"

using namespace indicator_test;

namespace {

const COLORREF kKey = INDICATOR_KEY;

using wts::rectIs;

int floatCaptionHeight() { return GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYCAPTION); }

class WatchOnDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureInstance();
    m_indicator.reset(newIndicatorStandIn());
    ASSERT_NE(nullptr, ind());
    SetLayeredWindowAttributes(ind(), kKey, 255, LWA_COLORKEY | LWA_ALPHA);
    m_watch.reset(new Watch());
    WatchProbe::hWnd(w()) = ind();
    WatchProbe::pTheme(w()).reset(new C_ThemeData(ind()));
    WatchProbe::alphaOn(w()) = 60;
    WatchProbe::alphaOff(w()) = 60;
    WatchProbe::dimOn(w()) = 40;
    WatchProbe::dimOff(w()) = 40;
    WatchProbe::loopInterval(w()) = 200;
    WatchProbe::transTimerCnt(w()) = 2;
    g_hMainWnd = ind();
  }
  void TearDown() override {
    if (m_watch && ind()) {
      for (UINT_PTR id = 1; id <= 4; ++id) KillTimer(ind(), id);
    }
    m_watch.reset();
    m_indicator.reset();
    g_hMainWnd = NULL;
  }

  HWND ind() const { return m_indicator ? m_indicator->hwnd() : NULL; }
  Watch& w() { return *m_watch; }

  // A titled, captioned window in front, as the user's application would be.
  std::unique_ptr<TestWindow> makeTarget(RECT r = RECT{100, 100, 600, 400}) {
    std::unique_ptr<TestWindow> t(new TestWindow(L"Target", r, targetStyle()));
    SetForegroundWindow(t->hwnd());
    WatchProbe::hTarget(w()) = t->hwnd();
    return t;
  }

  void giveToolTip() {
    WatchProbe::pToolTip(w()).reset(new MyToolTip(&m_font));
    WatchProbe::pToolTip(w())->onCreate(ind());
  }

  void useFixedMode(RECT pos) {
    WatchProbe::dMode(w()) = DISP_FIXED;
    WatchProbe::dModePos(w()) = pos;
  }

  bool composited() { return w().isCompositionEnabled() != FALSE; }

  std::unique_ptr<TestWindow> m_indicator;
  std::unique_ptr<Watch> m_watch;
  LOGFONTW m_font = {};
};

// ---------------------------------------------------------------------------
// Placement and the layered attributes

TEST_F(WatchOnDesktop, ShownTargetGetsTheCaptionStripKeyAndClosedOpacity) {
  auto target = makeTarget();
  w().draw(target->hwnd(), 0, 1);

  RECT tr = windowRect(target->hwnd());
  EXPECT_TRUE(rectIs(windowRect(ind()), tr.left, tr.top, tr.right, tr.top + floatCaptionHeight()));
  EXPECT_TRUE(IsWindowVisible(ind()));
  EXPECT_EQ(1, WatchProbe::show(w()));
  if (composited()) GTEST_SKIP() << "composition on: the picture went through UpdateLayeredWindow";
  LayeredAttributes a = layeredAttributes(ind());
  ASSERT_TRUE(a.ok);
  EXPECT_EQ(kKey, a.key);
  EXPECT_EQ(153, a.alpha);  // alphaOff 60
  EXPECT_EQ(DWORD(LWA_COLORKEY | LWA_ALPHA), a.flags);
}

TEST_F(WatchOnDesktop, OpacityFollowsTheStoredImeStateAndMovableIsOpaque) {
  if (composited()) GTEST_SKIP() << "composition on";
  auto target = makeTarget();
  WatchProbe::alphaOn(w()) = 100;
  WatchProbe::alphaOff(w()) = 0;
  WatchProbe::imeOpen(w()) = 1;
  w().draw(target->hwnd(), 1, 1);
  EXPECT_EQ(255, layeredAttributes(ind()).alpha);
  WatchProbe::imeOpen(w()) = 0;
  w().draw(target->hwnd(), 0, 1);
  EXPECT_EQ(0, layeredAttributes(ind()).alpha);  // shown, but alphaOff 0
  WatchProbe::transparent(w()) = 0;
  w().draw(target->hwnd(), 0, 1);
  EXPECT_EQ(255, layeredAttributes(ind()).alpha);  // movable: whatever the settings
}

TEST_F(WatchOnDesktop, HiddenDrawShrinksTo20x20WithOpacityZeroButStaysShown) {
  auto target = makeTarget();
  w().draw(target->hwnd(), 0, 1);
  w().draw(target->hwnd(), 0, 0);
  RECT tr = windowRect(target->hwnd());
  EXPECT_TRUE(rectIs(windowRect(ind()), tr.left, tr.top, tr.left + 20, tr.top + 20));
  EXPECT_EQ(0, WatchProbe::show(w()));
  EXPECT_TRUE(IsWindowVisible(ind()));  // placed with SWP_SHOWWINDOW all the same
  if (!composited()) {
    EXPECT_EQ(0, layeredAttributes(ind()).alpha);
  }
}

TEST_F(WatchOnDesktop, MinimizedTargetHidesTheIndicatorAtTheOrigin) {
  auto target = makeTarget();
  ShowWindow(target->hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(testwait::waitUntil([&] { return IsIconic(target->hwnd()) != FALSE; }));
  w().draw(target->hwnd(), 0, 1);
  EXPECT_TRUE(rectIs(windowRect(ind()), 0, 0, 20, 20));
  EXPECT_EQ(0, WatchProbe::show(w()));
  if (!composited()) {
    EXPECT_EQ(0, layeredAttributes(ind()).alpha);
  }
}

TEST_F(WatchOnDesktop, MaximizedTargetIsShiftedByTheEdgeAndFramePlusCaptionHigh) {
  auto target = makeTarget();
  ShowWindow(target->hwnd(), SW_MAXIMIZE);
  ASSERT_TRUE(testwait::waitUntil([&] { return IsZoomed(target->hwnd()) != FALSE; }));
  w().draw(target->hwnd(), 0, 1);
  RECT tr = windowRect(target->hwnd());
  int left = tr.left + GetSystemMetrics(SM_CXEDGE);
  int top = tr.top + GetSystemMetrics(SM_CYEDGE);
  int height = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  EXPECT_TRUE(rectIs(windowRect(ind()), left, top, tr.right, top + height));
  EXPECT_EQ(1, WatchProbe::show(w()));
}

TEST_F(WatchOnDesktop, DestroyedTargetHidesTheIndicatorAtTheOrigin) {
  auto target = makeTarget();
  HWND gone = target->hwnd();
  w().draw(gone, 0, 1);
  target->destroy();
  w().draw(gone, 1, 1);
  EXPECT_TRUE(rectIs(windowRect(ind()), 0, 0, 20, 20));
  EXPECT_EQ(0, WatchProbe::show(w()));
}

TEST_F(WatchOnDesktop, FixedModeStandsAtItsRectangleTopmost) {
  auto target = makeTarget();
  useFixedMode(RECT{100, 0, 250, 50});
  SetWindowPos(ind(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  w().draw(target->hwnd(), 0, 1);
  EXPECT_TRUE(rectIs(windowRect(ind()), 100, 0, 250, 50));
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  if (!composited()) {
    EXPECT_EQ(153, layeredAttributes(ind()).alpha);
  }
}

// A window that answers the caption-bar query with the button rectangles it holds.
TITLEBARINFOEX s_titleBarAnswer;
int s_titleBarQueries = 0;
WNDPROC s_titleBarPlainProc = NULL;
LRESULT CALLBACK titleBarAnsweringProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m != WM_GETTITLEBARINFOEX) return CallWindowProcW(s_titleBarPlainProc, h, m, wp, lp);
  ++s_titleBarQueries;
  TITLEBARINFOEX* info = reinterpret_cast<TITLEBARINFOEX*>(lp);
  for (int i = 0; i < CCHILDREN_TITLEBAR + 1; ++i) info->rgrect[i] = s_titleBarAnswer.rgrect[i];
  return 0;
}

TEST_F(WatchOnDesktop, ButtonWidthOfACaptionWithoutButtonsFallsBack) {
  TestWindow popup(L"Popup", RECT{50, 50, 300, 200}, WS_POPUP | WS_CAPTION | WS_VISIBLE);
  s_titleBarPlainProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      popup.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(titleBarAnsweringProc)));
  WatchProbe::hTarget(w()) = popup.hwnd();
  const int edges = GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXBORDER);
  const int fallback = 3 * GetSystemMetrics(SM_CXSMSIZE) + edges;

  // The answer names minimize, maximize and close buttons: their widths count.
  s_titleBarAnswer = {};
  s_titleBarAnswer.rgrect[2] = RECT{200, 5, 221, 25};
  s_titleBarAnswer.rgrect[3] = RECT{221, 5, 244, 25};
  s_titleBarAnswer.rgrect[5] = RECT{244, 5, 271, 25};
  s_titleBarQueries = 0;
  EXPECT_EQ(21 + 23 + 27 + edges, w().getTitleBarInfo());
  EXPECT_EQ(1, s_titleBarQueries);

  // An answer without buttons falls back to three small caption buttons.
  s_titleBarAnswer = {};
  EXPECT_EQ(fallback, w().getTitleBarInfo());
  EXPECT_EQ(2, s_titleBarQueries);

  WatchProbe::hTarget(w()) = NULL;  // no target at all: nobody answers
  EXPECT_EQ(fallback, w().getTitleBarInfo());
}

// ---------------------------------------------------------------------------
// The composited road (Wine reports composition off, so it is driven here directly)

TEST_F(WatchOnDesktop, CompositedPushPlacesTheWholePictureAndTheBlinkKeepsIt) {
  // UpdateLayeredWindow refuses a window once SetLayeredWindowAttributes set it up.
  TestWindow fresh(L"Corvela", RECT{0, 0, 40, 40}, WS_POPUP | WS_VISIBLE, kIndicatorExStyle);
  WatchProbe::hWnd(w()) = fresh.hwnd();
  wts::LogCapture log(L"composited_push.log");
  const SIZE size = {150, 40};
  C_HDC windowDC(fresh.hwnd());
  C_HDCCompat memory(windowDC.m_hDC, size);
  std::fill_n(static_cast<DWORD*>(memory.m_pBits), size.cx * size.cy, 0xFF2040C0u);

  WatchProbe::pushComposited(w(), memory.m_hDC, POINT{70, 80}, size, 200);
  EXPECT_TRUE(rectIs(windowRect(fresh.hwnd()), 70, 80, 220, 120));
  EXPECT_NE(0, GetWindowLongPtrW(fresh.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);

  WatchProbe::setBlinkOpacity(w(), 90, true);
  EXPECT_TRUE(rectIs(windowRect(fresh.hwnd()), 70, 80, 220, 120));
  EXPECT_NE(0, GetWindowLongPtrW(fresh.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(fresh.hwnd()));
  EXPECT_FALSE(log.contains(L"UpdateLayeredWindow()")) << log.text();
}

// ---------------------------------------------------------------------------
// Stacking

TEST_F(WatchOnDesktop, CoveredTargetGetsTheIndicatorJustAboveItBelowTheCover) {
  auto target = makeTarget(RECT{100, 100, 600, 400});
  TestWindow cover(L"Cover", RECT{300, 50, 700, 300}, targetStyle());
  SetWindowPos(cover.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(target->hwnd(), cover.hwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_EQ(cover.hwnd(), GetWindow(target->hwnd(), GW_HWNDPREV));

  w().draw(target->hwnd(), 0, 1);
  EXPECT_EQ(ind(), GetWindow(target->hwnd(), GW_HWNDPREV));
  EXPECT_EQ(cover.hwnd(), GetWindow(ind(), GW_HWNDPREV));
  EXPECT_FALSE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Already directly above the target: the next draw leaves the z-order alone.
  w().draw(target->hwnd(), 0, 1);
  EXPECT_EQ(ind(), GetWindow(target->hwnd(), GW_HWNDPREV));
  EXPECT_EQ(cover.hwnd(), GetWindow(ind(), GW_HWNDPREV));
}

TEST_F(WatchOnDesktop, TargetAtTheTopMakesTheIndicatorTopmost) {
  auto target = makeTarget();
  SetWindowPos(ind(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(ind(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(target->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (GetWindow(target->hwnd(), GW_HWNDPREV) != NULL)
    GTEST_SKIP() << "another topmost window of the desktop lies above every test window";

  w().draw(target->hwnd(), 0, 1);
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(nullptr, GetWindow(ind(), GW_HWNDPREV));
  EXPECT_EQ(ind(), GetWindow(target->hwnd(), GW_HWNDPREV));
}

// ---------------------------------------------------------------------------
// Background, theme and topmost switch

TEST_F(WatchOnDesktop, BackgroundIsNotErasedWhileLayered) {
  EXPECT_FALSE(w().shouldEraseBackground());
  WatchProbe::transparent(w()) = 1;
  useFixedMode(RECT{100, 100, 250, 150});
  ASSERT_EQ(1, w().switchStyle(0));  // the movable bordered window
  EXPECT_TRUE(w().shouldEraseBackground());
}

TEST_F(WatchOnDesktop, ThemeChangeRenewsTheThemeOnlyWhileLayered) {
  C_ThemeData* before = WatchProbe::pTheme(w()).get();
  w().onThemeChanged(ind());
  EXPECT_NE(before, WatchProbe::pTheme(w()).get());
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_LAYERED);  // set again

  useFixedMode(RECT{100, 100, 250, 150});
  ASSERT_EQ(1, w().switchStyle(0));
  C_ThemeData* movable = WatchProbe::pTheme(w()).get();
  LONG exStyle = GetWindowLongW(ind(), GWL_EXSTYLE);
  w().onThemeChanged(ind());
  EXPECT_EQ(movable, WatchProbe::pTheme(w()).get());
  EXPECT_EQ(exStyle, GetWindowLongW(ind(), GWL_EXSTYLE));
}

TEST_F(WatchOnDesktop, SettingDialogHandOverHidesAndBringsBackTheIndicator) {
  auto target = makeTarget();
  WatchProbe::dModePos(w()) = RECT{100, 0, 250, 50};
  w().beginSettingDialog();  // no dialog object in this test program
  EXPECT_EQ(1, WatchProbe::dialog(w()));
  EXPECT_EQ(0, WatchProbe::show(w()));
  EXPECT_FALSE(IsWindowVisible(ind()));
  EXPECT_FALSE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  w().endSettingDialog();
  EXPECT_EQ(0, WatchProbe::dialog(w()));
  EXPECT_EQ(1, WatchProbe::show(w()));
  EXPECT_TRUE(IsWindowVisible(ind()));
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(rectIs(windowRect(ind()), 100, 0, 250, 50));
  EXPECT_EQ(target->hwnd(), GetForegroundWindow());
}

// A memory DC of the size, every pixel set to the marker value.
std::unique_ptr<C_HDCCompat> markedDC(HWND wnd, SIZE size, DWORD marker) {
  C_HDC windowDC(wnd);
  std::unique_ptr<C_HDCCompat> dc(new C_HDCCompat(windowDC.m_hDC, size));
  DWORD* px = static_cast<DWORD*>(dc->m_pBits);
  for (LONG i = 0; i < size.cx * size.cy; ++i) px[i] = marker;
  return dc;
}

// The pixel at (x, y) from the top of a bottom-up 32-bit DIB.
DWORD pixelAt(const C_HDCCompat& dc, SIZE size, int x, int y) {
  GdiFlush();
  return static_cast<const DWORD*>(dc.m_pBits)[(size.cy - 1 - y) * size.cx + x];
}

TEST_F(WatchOnDesktop, LayeredIndicatorLeavesWmEraseBkgndUnpainted) {
  const SIZE size = {64, 32};
  const DWORD marker = 0x12345678;
  g_pWatch.reset(m_watch.release());
  std::unique_ptr<C_HDCCompat> dc = markedDC(ind(), size, marker);
  EXPECT_NE(0, WndProc(ind(), WM_ERASEBKGND, (WPARAM)dc->m_hDC, 0));
  EXPECT_EQ(marker, pixelAt(*dc, size, 10, 10)) << "the layered picture was erased";

  // The movable bordered window erases as any window does.
  WatchProbe::dMode(*g_pWatch) = DISP_FIXED;
  ASSERT_EQ(1, g_pWatch->switchStyle(0));
  WndProc(ind(), WM_ERASEBKGND, (WPARAM)dc->m_hDC, 0);
  EXPECT_NE(marker, pixelAt(*dc, size, 10, 10));
  m_watch.reset(g_pWatch.release());
}

TEST_F(WatchOnDesktop, FixedModePainterDrawsTheInsideOfTheBorderedWindow) {
  g_pSettings.reset(new CMySerialize());  // the default label font
  g_pMyApp.reset(new CMyApp());
  g_pMyApp->create(ind());
  ASSERT_NE(nullptr, g_pMyApp->m_pRenderTarget.GetInterfacePtr()) << "no renderer here";
  useFixedMode(RECT{100, 100, 250, 150});
  ASSERT_EQ(1, w().switchStyle(0));
  RECT wr = windowRect(ind());
  const int insideW = (wr.right - wr.left) - 2 * GetSystemMetrics(SM_CXFRAME);
  const int insideH = (wr.bottom - wr.top) - 2 * GetSystemMetrics(SM_CYFRAME);
  ASSERT_GT(insideW, 4);
  ASSERT_GT(insideH, 4);

  const SIZE size = {insideW + 20, insideH + 20};
  const DWORD marker = 0x00000000;
  std::unique_ptr<C_HDCCompat> dc = markedDC(ind(), size, marker);
  w().onPaint(dc->m_hDC, NULL, 0);
  // Fixed mode fills its whole rectangle opaquely; nothing beyond the inside is touched.
  EXPECT_EQ(0xFFu, pixelAt(*dc, size, 2, insideH / 2) >> 24);
  EXPECT_EQ(0xFFu, pixelAt(*dc, size, insideW - 2, insideH / 2) >> 24);
  EXPECT_EQ(marker, pixelAt(*dc, size, insideW + 5, insideH / 2));
  EXPECT_EQ(marker, pixelAt(*dc, size, insideW / 2, insideH + 5));
  g_pMyApp.reset();
  g_pSettings.reset();
}

TEST_F(WatchOnDesktop, ThemeWithoutACaptionPictureStillDrawsOverANormalWindow) {
  HTHEME theme = WatchProbe::pTheme(w()) ? WatchProbe::pTheme(w())->m_hTheme : NULL;
  if (theme == NULL) GTEST_SKIP() << "no visual style here";
  try {
    C_HBITMAP picture(theme);
    GTEST_SKIP() << "this visual style has its caption picture";
  } catch (CMyException* e) {
    delete e;  // the case under test: Wine's uxtheme has no GetThemeBitmap
  }
  if (composited()) GTEST_SKIP() << "composition on";
  g_pSettings.reset(new CMySerialize());
  g_pMyApp.reset(new CMyApp());
  g_pMyApp->create(ind());
  auto target = makeTarget();
  // A draw that fails pushes nothing: the fixture's opacity 255 would stay.
  w().draw(target->hwnd(), 0, 1);
  EXPECT_EQ(153, layeredAttributes(ind()).alpha);
  RECT tr = windowRect(target->hwnd());
  EXPECT_TRUE(rectIs(windowRect(ind()), tr.left, tr.top, tr.right, tr.top + floatCaptionHeight()));
  g_pMyApp.reset();
  g_pSettings.reset();
}

// ---------------------------------------------------------------------------
// Blinking

TEST_F(WatchOnDesktop, BlinkAlternatesBetweenTheFullAndTheDimByte) {
  if (composited()) GTEST_SKIP() << "composition on";
  WatchProbe::blink(w()) = 1;
  WatchProbe::show(w()) = 1;
  WatchProbe::blinkCount(w()) = 0;
  w().blinkStep();
  EXPECT_EQ(102, layeredAttributes(ind()).alpha);  // 40 %
  w().blinkStep();
  EXPECT_EQ(153, layeredAttributes(ind()).alpha);  // 60 %
  w().blinkStep();
  EXPECT_EQ(102, layeredAttributes(ind()).alpha);
  EXPECT_EQ(kKey, layeredAttributes(ind()).key);
  EXPECT_EQ(3, WatchProbe::blinkCount(w()));
}

TEST_F(WatchOnDesktop, BlinkCounterWrapsAfter1001) {
  if (composited()) GTEST_SKIP() << "composition on";
  WatchProbe::blink(w()) = 1;
  WatchProbe::show(w()) = 1;
  WatchProbe::blinkCount(w()) = 1001;
  w().blinkStep();
  EXPECT_EQ(153, layeredAttributes(ind()).alpha);
  EXPECT_EQ(0, WatchProbe::blinkCount(w()));
  w().blinkStep();
  EXPECT_EQ(102, layeredAttributes(ind()).alpha);
}

TEST_F(WatchOnDesktop, BlinkOfAHiddenIndicatorIsZeroAndTheMovableOneIsLeftAlone) {
  if (composited()) GTEST_SKIP() << "composition on";
  WatchProbe::blink(w()) = 1;
  WatchProbe::show(w()) = 0;
  w().blinkStep();
  EXPECT_EQ(0, layeredAttributes(ind()).alpha);

  SetLayeredWindowAttributes(ind(), kKey, 77, LWA_COLORKEY | LWA_ALPHA);
  WatchProbe::show(w()) = 1;
  WatchProbe::transparent(w()) = 0;
  int count = WatchProbe::blinkCount(w());
  w().blinkStep();
  EXPECT_EQ(77, layeredAttributes(ind()).alpha);
  EXPECT_EQ(count, WatchProbe::blinkCount(w()));
}

// ---------------------------------------------------------------------------
// Timers

TEST_F(WatchOnDesktop, LoopWatchIsReArmedWithTheIntervalReadAtEachTick) {
  WatchProbe::loopInterval(w()) = 30;
  w().timerStartLoopWatch();
  ASSERT_TRUE(waitTimer(ind(), TIMER_LOOP_WATCH));
  // A new interval set now applies from the next tick on.
  WatchProbe::loopInterval(w()) = 60000;
  w().onTimer(TIMER_LOOP_WATCH);
  dropTimers(ind());
  EXPECT_FALSE(timerDueBefore(ind(), TIMER_LOOP_WATCH, 300));
  WatchProbe::loopInterval(w()) = 30;
  w().onTimer(TIMER_LOOP_WATCH);
  EXPECT_TRUE(timerDueBefore(ind(), TIMER_LOOP_WATCH, 1000));
}

TEST_F(WatchOnDesktop, SettingsChangeStartsKillsAndRestartsTheBlinkTimer) {
  auto target = makeTarget();
  CMySerialize s;
  s.alphaOn = 60;
  s.alphaOff = 60;
  s.dMode = DISP_FLOAT;
  s.blink = 0;
  s.blinkSpeed = 40;
  w().update(&s);

  s.blink = 1;
  w().onUpdate(&s);
  EXPECT_NE(0u, WatchProbe::blinkTimer(w()));
  EXPECT_TRUE(waitTimer(ind(), TIMER_BLINK));

  s.blinkSpeed = 60000;  // new period: killed and started again
  w().onUpdate(&s);
  EXPECT_NE(0u, WatchProbe::blinkTimer(w()));
  dropTimers(ind());
  EXPECT_FALSE(timerDueBefore(ind(), TIMER_BLINK, 300));

  s.blink = 0;
  w().onUpdate(&s);
  EXPECT_EQ(0u, WatchProbe::blinkTimer(w()));
}

TEST_F(WatchOnDesktop, SettingsChangeFromFloatToFixedStartsTheHoverWatch) {
  auto target = makeTarget();
  CMySerialize s;
  s.dMode = DISP_FLOAT;
  w().update(&s);
  EXPECT_EQ(0u, WatchProbe::transWatchTimer(w()));
  s.dMode = DISP_FIXED;
  w().onUpdate(&s);
  EXPECT_NE(0u, WatchProbe::transWatchTimer(w()));
  EXPECT_EQ(DISP_FIXED, WatchProbe::dMode(w()));
  EXPECT_EQ(40, WatchProbe::dimOn(w()));  // taken over with the rest: 60 - 20
}

// ---------------------------------------------------------------------------
// The hover countdown and the movable fixed mode

class MovableFixedMode : public WatchOnDesktop {
 protected:
  void SetUp() override {
    WatchOnDesktop::SetUp();
    m_target = makeTarget(RECT{400, 300, 900, 700});
    giveToolTip();
    useFixedMode(RECT{100, 100, 250, 150});
    w().draw(m_target->hwnd(), 0, 1);
    ASSERT_TRUE(rectIs(windowRect(ind()), 100, 100, 250, 150));
  }
  void cursorOver() { SetCursorPos(150, 120); }
  void cursorAway() { SetCursorPos(1000, 900); }
  MyToolTip& tip() { return *WatchProbe::pToolTip(w()); }

  std::unique_ptr<TestWindow> m_target;
};

TEST_F(MovableFixedMode, CursorOnTheRightEdgeIsNotOverTheIndicator) {
  SetCursorPos(249, 120);
  EXPECT_EQ(1, w().isCursorOver());
  SetCursorPos(250, 120);
  EXPECT_EQ(0, w().isCursorOver());
  SetCursorPos(150, 150);
  EXPECT_EQ(0, w().isCursorOver());
}

TEST_F(MovableFixedMode, HoverCountsDownWithTheToolTipAndTurnsMovable) {
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  EXPECT_NE(0u, WatchProbe::transWaitTimer(w()));
  EXPECT_EQ(0u, WatchProbe::transWatchTimer(w()));
  EXPECT_EQ(2, tip().m_state);
  EXPECT_TRUE(IsWindowVisible(tip().m_hWnd));
  EXPECT_TRUE(rectIs(windowRect(tip().m_hWnd), 160, 120, 180, 140));  // 10 right of the cursor

  w().onTimer(TIMER_TRANS_WAIT);
  EXPECT_EQ(1, WatchProbe::transWaitCount(w()));
  w().onTimer(TIMER_TRANS_WAIT);
  EXPECT_EQ(2, WatchProbe::transWaitCount(w()));
  EXPECT_EQ(1, WatchProbe::transparent(w()));
  w().onTimer(TIMER_TRANS_WAIT);  // the count of 2 is reached

  EXPECT_EQ(0, WatchProbe::transparent(w()));
  EXPECT_EQ(0u, WatchProbe::transWaitTimer(w()));
  EXPECT_EQ(1, tip().m_state);
  EXPECT_FALSE(IsWindowVisible(tip().m_hWnd));
  LONG ex = GetWindowLongW(ind(), GWL_EXSTYLE);
  EXPECT_FALSE(ex & WS_EX_LAYERED);
  EXPECT_FALSE(ex & WS_EX_TRANSPARENT);
  EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
  // WS_EX_TOPMOST is written off as well, but the system keeps the topmost band
  // through SetWindowLongPtr; only SetWindowPos could leave it.
  LONG style = GetWindowLongW(ind(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_TRUE(IsWindowVisible(ind()));
  EXPECT_TRUE(rectIs(windowRect(ind()), 100, 100, 250, 150));
}

TEST_F(MovableFixedMode, WaitStopsWhenTheCursorLeavesAndWatchingStartsOver) {
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  ASSERT_NE(0u, WatchProbe::transWaitTimer(w()));
  cursorAway();
  w().onTimer(TIMER_TRANS_WAIT);
  EXPECT_EQ(0u, WatchProbe::transWaitTimer(w()));
  EXPECT_NE(0u, WatchProbe::transWatchTimer(w()));
  EXPECT_EQ(1, tip().m_state);
  EXPECT_FALSE(IsWindowVisible(tip().m_hWnd));
  EXPECT_EQ(1, WatchProbe::transparent(w()));
}

TEST_F(MovableFixedMode, WaitThatFindsFloatModeEndsInsteadOfTickingOn) {
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  ASSERT_NE(0u, WatchProbe::transWaitTimer(w()));
  ASSERT_TRUE(IsWindowVisible(tip().m_hWnd));
  WatchProbe::dMode(w()) = DISP_FLOAT;  // the settings changed while the countdown ran
  w().onTimer(TIMER_TRANS_WAIT);
  EXPECT_EQ(0u, WatchProbe::transWaitTimer(w()));
  EXPECT_EQ(1, tip().m_state);
  EXPECT_FALSE(IsWindowVisible(tip().m_hWnd));
  dropTimers(ind());
  EXPECT_FALSE(timerDueBefore(ind(), TIMER_TRANS_WAIT, 800));  // the timer is gone
  // A later watch tick is no longer told that a wait runs.
  EXPECT_EQ(0, w().onTransWatch());
}

TEST_F(MovableFixedMode, CountZeroTurnsMovableOnTheFirstWatchTick) {
  WatchProbe::transTimerCnt(w()) = 0;
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  EXPECT_EQ(0, WatchProbe::transparent(w()));
  EXPECT_EQ(0u, WatchProbe::transWaitTimer(w()));
  EXPECT_EQ(0u, WatchProbe::transWatchTimer(w()));  // not watched while movable
}

TEST_F(MovableFixedMode, CountMinusOneNeverTurnsMovableByHovering) {
  WatchProbe::transTimerCnt(w()) = -1;
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  EXPECT_EQ(1, WatchProbe::transparent(w()));
  EXPECT_EQ(0u, WatchProbe::transWaitTimer(w()));
  EXPECT_NE(0u, WatchProbe::transWatchTimer(w()));  // watching on
}

TEST_F(MovableFixedMode, LeavingStoresTheClampedRectangleAndPostsTheSave) {
  WatchProbe::transTimerCnt(w()) = 0;
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  ASSERT_EQ(0, WatchProbe::transparent(w()));
  // Dragged half off the left edge of the screen.
  SetWindowPos(ind(), NULL, -75, 200, 150, 50, SWP_NOZORDER | SWP_NOACTIVATE);
  cursorAway();
  MSG msg;
  while (PeekMessageW(&msg, ind(), WM_MY_SAVE_POSCHANGE, WM_MY_SAVE_POSCHANGE, PM_REMOVE)) {
  }
  w().onMouseLeave();
  EXPECT_TRUE(rectIs(WatchProbe::dModePos(w()), 0, 200, 150, 250));  // moved right, width kept
  EXPECT_TRUE(PeekMessageW(&msg, ind(), WM_MY_SAVE_POSCHANGE, WM_MY_SAVE_POSCHANGE, PM_REMOVE));
  EXPECT_EQ(1, WatchProbe::transparent(w()));
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_FALSE(GetWindowLongW(ind(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_NE(0u, WatchProbe::transWatchTimer(w()));
}

TEST_F(MovableFixedMode, LeavingAnUnmovedRectanglePostsNothing) {
  WatchProbe::transTimerCnt(w()) = 0;
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  ASSERT_EQ(0, WatchProbe::transparent(w()));
  cursorAway();
  MSG msg;
  while (PeekMessageW(&msg, ind(), WM_MY_SAVE_POSCHANGE, WM_MY_SAVE_POSCHANGE, PM_REMOVE)) {
  }
  w().onMouseLeave();
  EXPECT_TRUE(rectIs(WatchProbe::dModePos(w()), 100, 100, 250, 150));
  EXPECT_FALSE(PeekMessageW(&msg, ind(), WM_MY_SAVE_POSCHANGE, WM_MY_SAVE_POSCHANGE, PM_REMOVE));
  EXPECT_EQ(1, WatchProbe::transparent(w()));
}

// The hidden indicator of the open settings dialog still stands at the corner of the
// fixed rectangle: the cursor resting there does not make it movable. Settings that
// leave the fixed mode end a movable indicator without storing its rectangle.
TEST_F(MovableFixedMode, SettingDialogKeepsItClickThroughAndFloatModeEndsMovable) {
  WatchProbe::transTimerCnt(w()) = 0;
  w().beginSettingDialog();  // no dialog object in this test program
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  EXPECT_EQ(1, WatchProbe::transparent(w()));

  w().endSettingDialog();
  w().onTimer(TIMER_TRANS_WATCH);
  ASSERT_EQ(0, WatchProbe::transparent(w()));
  SetWindowPos(ind(), NULL, 300, 200, 150, 50, SWP_NOZORDER | SWP_NOACTIVATE);  // dragged
  MSG msg;
  while (PeekMessageW(&msg, ind(), WM_MY_SAVE_POSCHANGE, WM_MY_SAVE_POSCHANGE, PM_REMOVE)) {
  }
  CMySerialize s;
  s.dMode = DISP_FLOAT;
  w().onUpdate(&s);
  EXPECT_EQ(1, WatchProbe::transparent(w()));
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_FALSE(GetWindowLongW(ind(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_FALSE(PeekMessageW(&msg, ind(), WM_MY_SAVE_POSCHANGE, WM_MY_SAVE_POSCHANGE, PM_REMOVE));
  const RECT r = windowRect(ind());
  EXPECT_EQ(400, r.left) << "over the target's caption";
  EXPECT_EQ(300, r.top);
}

TEST_F(MovableFixedMode, LeaveWithTheCursorStillOverItChangesNothing) {
  WatchProbe::transTimerCnt(w()) = 0;
  cursorOver();
  w().onTimer(TIMER_TRANS_WATCH);
  ASSERT_EQ(0, WatchProbe::transparent(w()));
  w().onMouseLeave();
  EXPECT_EQ(0, WatchProbe::transparent(w()));
  EXPECT_TRUE(GetWindowLongW(ind(), GWL_STYLE) & WS_THICKFRAME);
}

}  // namespace
