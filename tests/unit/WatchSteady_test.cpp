// The watcher in the steady state, in-process on a desktop: a frame that would come
// out the same is not drawn again, a hidden indicator skips the renderer, draws asked
// for during a draw run after it, a failing tick keeps the polling alive, and values
// of the settings file are held to what works where they are used.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <stdexcept>

#include "C_ThemeData.h"
#include "IndicatorWindows.h"
#include "MyApp.h"
#include "MySerialize.h"
#include "Watch.h"
#include "WatchFrame.h"
#include "WatchProbe.h"
#include "WindowTestSupport.h"
#include "tamsel.h"

using namespace indicator_test;

TEST(WatchFrame, LoopIntervalIsHeldAtTheNearerEnd) {
  EXPECT_EQ(10u, loopIntervalOf(0));
  EXPECT_EQ(10u, loopIntervalOf(1));
  EXPECT_EQ(10u, loopIntervalOf(10));
  EXPECT_EQ(200u, loopIntervalOf(200));
  EXPECT_EQ(1000u, loopIntervalOf(1000));
  EXPECT_EQ(1000u, loopIntervalOf(1001));
  EXPECT_EQ(1000u, loopIntervalOf(2147483647u));
  EXPECT_EQ(10u, loopIntervalOf((unsigned)-1)) << "-1 in the file";
  EXPECT_EQ(10u, loopIntervalOf(0x80000000u)) << "-2147483648 in the file";
}

TEST(WatchFrame, FixedRectangleIsNormalisedSizedAndKeptOnTheScreen) {
  auto is = [](const RECT& r, LONG l, LONG t, LONG rr, LONG b) {
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
  };
  EXPECT_TRUE(is(usableFixedRect({100, 0, 250, 50}, 24, 1280, 1024), 100, 0, 250, 50));
  EXPECT_TRUE(is(usableFixedRect({250, 50, 100, 0}, 24, 1280, 1024), 100, 0, 250, 50))
      << "inverted";
  EXPECT_TRUE(is(usableFixedRect({300, 300, 300, 300}, 24, 1280, 1024), 300, 300, 324, 324))
      << "zero size";
  EXPECT_TRUE(is(usableFixedRect({LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX}, 24, 1280, 1024), 0, 0,
                 1280, 1024))
      << "overflowing";
  EXPECT_TRUE(
      is(usableFixedRect({100000, -90000, 100150, -89950}, 24, 1280, 1024), 1130, 0, 1280, 50))
      << "far off the screen";
  EXPECT_TRUE(is(usableFixedRect({1200, 1000, 1350, 1050}, 24, 1280, 1024), 1130, 974, 1280, 1024))
      << "partly off, as a moved indicator";
}

namespace {

// A target whose answer to WM_GETTITLEBARINFOEX runs a test's function, as messages
// sent to the indicator run while a draw waits on the target.
std::function<void()> s_onTitleBarQuery;

LRESULT CALLBACK reentrantProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_GETTITLEBARINFOEX && s_onTitleBarQuery) {
    std::function<void()> once;
    once.swap(s_onTitleBarQuery);
    once();
  }
  return DefWindowProcW(h, m, w, l);
}

HWND makeReentrantTarget(RECT r) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = reentrantProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"CorvelaReentrantTarget";
  RegisterClassExW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"Reentrant target", targetStyle(), r.left, r.top,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

}  // namespace

class WatchSteady : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureInstance();
    m_indicator.reset(newIndicatorStandIn());
    ASSERT_NE(nullptr, ind());
    g_hMainWnd = ind();
    g_pMyApp.reset(new CMyApp());
    g_pMyApp->create(ind());
    m_watch.reset(new Watch());
    WatchProbe::hWnd(w()) = ind();
    WatchProbe::pTheme(w()).reset(new C_ThemeData(ind()));
    WatchProbe::loopInterval(w()) = 200;
    WatchProbe::convMode(w()) = 0x7F;  // no row of the label table: "A", open or closed
  }
  void TearDown() override {
    s_onTitleBarQuery = nullptr;
    for (UINT_PTR id = 1; id <= 4; ++id) KillTimer(ind(), id);
    m_watch.reset();
    g_pMyApp.reset();
    m_indicator.reset();
    g_hMainWnd = NULL;
  }
  HWND ind() const { return m_indicator ? m_indicator->hwnd() : NULL; }
  Watch& w() { return *m_watch; }
  unsigned pushed() { return WatchProbe::framesPushed(w()); }
  unsigned painted() { return g_pMyApp->m_framesPainted; }

  // Draws a few times; true when only the first pushed a frame.
  ::testing::AssertionResult pushesOnce(HWND target, int open, int show = 1) {
    const unsigned before = pushed();
    for (int i = 0; i < 4; ++i) w().draw(target, open, show);
    if (pushed() == before + 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (pushed() - before) << " frames pushed";
  }

  wts::WatchGlobals m_globals;
  std::unique_ptr<TestWindow> m_indicator;
  std::unique_ptr<Watch> m_watch;
};

TEST_F(WatchSteady, SteadyTargetPushesOneFrameAndEachChangeOneMore) {
  TestWindow target(L"Target", RECT{100, 100, 600, 400}, targetStyle());
  WatchProbe::hTarget(w()) = target.hwnd();
  const HWND t = target.hwnd();
  ASSERT_TRUE(pushesOnce(t, 0));
  EXPECT_EQ(1u, painted());

  EXPECT_TRUE(pushesOnce(t, 1)) << "open state";
  WatchProbe::convMode(w()) = 0x19;  // "あ"
  EXPECT_TRUE(pushesOnce(t, 1)) << "label";
  SetWindowPos(t, NULL, 140, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(pushesOnce(t, 1)) << "move";
  SetWindowPos(t, NULL, 0, 0, 420, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(pushesOnce(t, 1)) << "resize";
  w().onThemeChanged(ind());
  EXPECT_TRUE(pushesOnce(t, 1)) << "theme";
  CMySerialize next(*g_pSettings);
  next.fontColor = 0x00FF00;
  g_pMyApp->onUpdate(&next);
  EXPECT_TRUE(pushesOnce(t, 1)) << "settings";
  ++WatchProbe::blinkCount(w());
  EXPECT_TRUE(pushesOnce(t, 1)) << "blink phase";
  EXPECT_EQ(8u, painted());

  // what stands where it stands is still seen to on every draw: the z-order
  SetWindowPos(ind(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  w().draw(t, 1, 1);
  EXPECT_EQ(8u, painted());
  EXPECT_TRUE(GetWindowLongPtrW(ind(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT r = windowRect(ind());
  EXPECT_EQ(140, r.left);
  EXPECT_EQ(420, r.right - r.left);
}

TEST_F(WatchSteady, HiddenIndicatorIsPushedWithoutTheRenderer) {
  TestWindow target(L"Target", RECT{100, 100, 600, 400}, targetStyle());
  WatchProbe::hTarget(w()) = target.hwnd();
  ASSERT_TRUE(pushesOnce(target.hwnd(), 1, 0));
  EXPECT_EQ(0u, painted());
  const RECT r = windowRect(ind());
  EXPECT_EQ(20, r.right - r.left);
  EXPECT_EQ(20, r.bottom - r.top);
  EXPECT_EQ(0, layeredAttributes(ind()).alpha);
  ShowWindow(target.hwnd(), SW_MINIMIZE);
  w().draw(target.hwnd(), 1, 1);  // minimised: hidden as well
  EXPECT_EQ(0u, painted());
  ShowWindow(target.hwnd(), SW_RESTORE);
  ASSERT_TRUE(pushesOnce(target.hwnd(), 1, 1));
  EXPECT_EQ(1u, painted());
}

// A push that the window refuses (a window that is not layered takes neither attributes
// nor a layered picture) leaves no frame behind: every draw pushes again, the failure is
// logged once, and the first push that succeeds stands.
TEST_F(WatchSteady, FailedPushIsMadeAgainUntilItSucceeds) {
  wts::LogCapture log(L"WatchSteady_push.log");
  TestWindow target(L"Target", RECT{100, 100, 600, 400}, targetStyle());
  WatchProbe::hTarget(w()) = target.hwnd();
  const LONG_PTR exStyle = GetWindowLongPtrW(ind(), GWL_EXSTYLE);
  SetWindowLongPtrW(ind(), GWL_EXSTYLE, exStyle & ~(LONG_PTR)WS_EX_LAYERED);
  const unsigned before = pushed();
  for (int i = 0; i < 3; ++i) w().draw(target.hwnd(), 0, 1);
  EXPECT_EQ(before + 3, pushed());
  EXPECT_EQ(1u, log.count(w().isCompositionEnabled() ? L"UpdateLayeredWindow() : error"
                                                     : L"SetLayeredWindowAttributes()"))
      << log.text();

  SetWindowLongPtrW(ind(), GWL_EXSTYLE, exStyle);
  EXPECT_TRUE(pushesOnce(target.hwnd(), 0));
  EXPECT_TRUE(log.contains(L"draw() : drawn again after")) << log.text();
}

// While the draw waits on the target, the indicator is told the theme changed and
// asked to redraw after the target moved: the running draw keeps its theme alive,
// and the indicator ends where the target is now.
TEST_F(WatchSteady, DrawAskedForDuringADrawRunsAfterItWithItsThemeAlive) {
  const HWND t = makeReentrantTarget(RECT{100, 100, 600, 400});
  ASSERT_NE(nullptr, t);
  WatchProbe::hTarget(w()) = t;
  std::weak_ptr<C_ThemeData> oldTheme = WatchProbe::pTheme(w());
  bool themeAliveInside = false;
  s_onTitleBarQuery = [&] {
    w().onThemeChanged(ind());  // WM_THEMECHANGED
    themeAliveInside = !oldTheme.expired();
    SetWindowPos(t, NULL, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    w().redrawTarget();  // WM_MY_ACTIVECHANGE
  };
  WatchProbe::state(w()) = 2;
  w().draw(t, 1, 1);
  EXPECT_TRUE(themeAliveInside) << "the running draw holds the theme it uses";
  EXPECT_TRUE(oldTheme.expired()) << "and lets it go when it ends";
  const RECT r = windowRect(ind());
  EXPECT_EQ(300, r.left);
  EXPECT_EQ(200, r.top);
  EXPECT_EQ(2u, pushed()) << "the outer frame, then the one asked for during it";
  DestroyWindow(t);
}

TEST_F(WatchSteady, TickThatThrowsKeepsTheTimerArmed) {
  wts::LogCapture log(L"WatchSteady_tick.log");
  WatchProbe::loopInterval(w()) = 10;
  dropTimers(ind());
  WatchProbe::loopWatchTick(
      w(), [] { throw new CMyException(L"Watch.cpp", 1, 3, L"GetWindowRect()", -1); });
  EXPECT_TRUE(waitTimer(ind(), TIMER_LOOP_WATCH));
  EXPECT_TRUE(log.contains(L"GetWindowRect() : 0xffffffff"));
  WatchProbe::loopWatchTick(w(), [] { throw std::runtime_error("no memory"); });
  EXPECT_TRUE(waitTimer(ind(), TIMER_LOOP_WATCH));
  EXPECT_TRUE(log.contains(L"onLoopWatch() : no memory"));
}

// The timer runs at the nearer end of 10 to 1000 ms: before a probe of 500 ms for the
// small and negative values, after it (and before one of 3000 ms) for the huge one.
TEST_F(WatchSteady, LoopIntervalFromTheFileRunsTheTimerAtTheNearerEnd) {
  for (unsigned interval : {0u, 1u, (unsigned)-1, 0x80000000u}) {
    WatchProbe::loopInterval(w()) = interval;
    dropTimers(ind());
    w().timerStartLoopWatch();
    EXPECT_TRUE(timerDueBefore(ind(), TIMER_LOOP_WATCH, 500)) << interval;
    EXPECT_EQ(interval, WatchProbe::loopInterval(w())) << "the setting keeps what it holds";
  }
  WatchProbe::loopInterval(w()) = 2147483647u;
  dropTimers(ind());
  w().timerStartLoopWatch();
  EXPECT_FALSE(timerDueBefore(ind(), TIMER_LOOP_WATCH, 500));
  w().timerStartLoopWatch();
  EXPECT_TRUE(timerDueBefore(ind(), TIMER_LOOP_WATCH, 3000));
}

TEST_F(WatchSteady, InvertedFixedRectangleStandsNormalisedAndLoggedOnce) {
  wts::LogCapture log(L"WatchSteady_fixed.log");
  TestWindow target(L"Target", RECT{100, 100, 600, 400}, targetStyle());
  WatchProbe::hTarget(w()) = target.hwnd();
  WatchProbe::dMode(w()) = DISP_FIXED;
  WatchProbe::dModePos(w()) = RECT{250, 90, 100, 40};
  w().draw(target.hwnd(), 1, 1);
  w().draw(target.hwnd(), 0, 1);
  const RECT r = windowRect(ind());
  EXPECT_EQ(100, r.left);
  EXPECT_EQ(40, r.top);
  EXPECT_EQ(250, r.right);
  EXPECT_EQ(90, r.bottom);
  EXPECT_EQ(2u, painted());
  EXPECT_EQ(1u, log.count(L"dModePos {250,90,100,40} : used as {100,40,250,90}"));
  EXPECT_EQ(0u, log.count(L"CreateDIBSection"));
  EXPECT_EQ(250, w().fixedRect().left) << "the settings keep what they hold";
}

TEST(WatchFrame, PlacementThatChangesNothingIsLeftOut) {
  const Placement place = {{100, 50}, {300, 20}};
  const HWND prev = (HWND)(LONG_PTR)0x1234, other = (HWND)(LONG_PTR)0x5678;
  const Standing there = {{100, 50, 400, 70}, true, true, NULL, false};
  EXPECT_TRUE(placementChangesNothing(ZORDER_UNCHANGED, NULL, false, 0, place, there));
  EXPECT_TRUE(placementChangesNothing(ZORDER_TOPMOST, NULL, false, 0, place, there));
  EXPECT_FALSE(
      placementChangesNothing(ZORDER_TOPMOST, NULL, false, SWP_FRAMECHANGED, place, there));
  Standing moved = there;
  moved.rect.left = 101;
  EXPECT_FALSE(placementChangesNothing(ZORDER_UNCHANGED, NULL, false, 0, place, moved));
  Standing hidden = there;
  hidden.visible = false;
  EXPECT_FALSE(placementChangesNothing(ZORDER_UNCHANGED, NULL, false, 0, place, hidden));
  Standing covered = there;
  covered.above = other;
  covered.aboveTopmost = true;
  EXPECT_FALSE(placementChangesNothing(ZORDER_TOPMOST, NULL, false, 0, place, covered));
  Standing belowPrev = {{100, 50, 400, 70}, true, false, prev, false};
  EXPECT_TRUE(placementChangesNothing(ZORDER_AFTER_PREV, prev, false, 0, place, belowPrev));
  EXPECT_FALSE(placementChangesNothing(ZORDER_AFTER_PREV, prev, true, 0, place, belowPrev))
      << "below a topmost window it would become topmost";
  belowPrev.above = other;
  EXPECT_FALSE(placementChangesNothing(ZORDER_AFTER_PREV, prev, false, 0, place, belowPrev));
  const Standing topOfItsBand = {{100, 50, 400, 70}, true, false, other, true};
  EXPECT_TRUE(placementChangesNothing(ZORDER_TOP, NULL, false, 0, place, topOfItsBand));
  Standing underNormal = topOfItsBand;
  underNormal.aboveTopmost = false;
  EXPECT_FALSE(placementChangesNothing(ZORDER_TOP, NULL, false, 0, place, underNormal));
}

// A flood of redraw requests costs one draw: a request with another like it still
// queued leaves the work to that one.
TEST_F(WatchSteady, RedrawWithAnotherQueuedLeavesTheDrawToIt) {
  TestWindow target(L"Target", RECT{100, 100, 600, 400}, targetStyle());
  WatchProbe::hTarget(w()) = target.hwnd();
  WatchProbe::state(w()) = 2;
  SetForegroundWindow(target.hwnd());
  w().redrawTarget();
  const unsigned before = pushed();
  w().onThemeChanged(ind());  // the next draw pushes
  PostMessageW(ind(), WM_HOOK_MOVE, 0, 0);
  w().redrawTarget();
  EXPECT_EQ(before, pushed()) << "left to the queued request";
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, ind(), WM_HOOK_MOVE, WM_HOOK_MOVE, PM_REMOVE));
  w().redrawTarget();  // the queued request's turn
  EXPECT_EQ(before + 1, pushed());
}

// The indicator's thread never has the keyboard focus: Shift is read from the key as
// pressed, before any window of the thread has taken its message.
TEST_F(WatchSteady, HoverReadsShiftAsPressed) {
  INPUT key = {};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = VK_SHIFT;
  ASSERT_EQ(1u, SendInput(1, &key, sizeof(key)));
  const bool pressed = WatchProbe::readHoverInput(w()).shift;
  key.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &key, sizeof(key));
  wts::pumpMessages();
  EXPECT_TRUE(pressed);
  EXPECT_FALSE(WatchProbe::readHoverInput(w()).shift);
}
