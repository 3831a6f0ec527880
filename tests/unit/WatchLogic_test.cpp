// The watcher's decisions without a desktop: placement, button width, stacking,
// opacity, blinking, timer changes, the screen clamp and the hover countdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MySerialize.h"
#include "WatchLogic.h"
#include "WindowTestSupport.h"

namespace {

// Metrics of a made-up desktop, every value distinct so a mix-up shows.
CaptionMetrics metrics() {
  CaptionMetrics m;
  m.cxEdge = 2;
  m.cyEdge = 3;
  m.cxBorder = 1;
  m.cyFrame = 4;
  m.cyCaption = 19;
  m.cxSmSize = 17;
  m.cxMaximized = 1288;
  m.cyMaximized = 1000;
  return m;
}

using wts::rectIs;

// ---------------------------------------------------------------------------
// Screen modes and the indicator rectangle

TEST(WatchGeometry, FixedModeUsesTheRectangleAndItsHeight) {
  RECT pos = {100, 0, 250, 50};
  ScreenGeometry g = fixedGeometry(pos);
  EXPECT_EQ(SCREEN_NORMAL, g.mode);
  EXPECT_TRUE(rectIs(g.rect, 100, 0, 250, 50));
  EXPECT_EQ(50, g.captionHeight);
  EXPECT_FALSE(g.useTheme);
}

TEST(WatchGeometry, MaximizedShiftsByTheEdgeAndTakesFramePlusCaption) {
  RECT wr = {-4, -4, 1284, 1000};
  ScreenGeometry g = maximizedGeometry(wr, metrics());
  EXPECT_EQ(SCREEN_MAXIMIZED, g.mode);
  EXPECT_TRUE(rectIs(g.rect, -4 + 2, -4 + 3, 1284, 1000));
  EXPECT_EQ(4 + 19, g.captionHeight);
  EXPECT_FALSE(g.useTheme);
}

TEST(WatchGeometry, MinimizedIsEmptyAtTheOrigin) {
  ScreenGeometry g = minimizedGeometry();
  EXPECT_EQ(SCREEN_MINIMIZED, g.mode);
  EXPECT_TRUE(rectIs(g.rect, 0, 0, 0, 0));
  EXPECT_EQ(0, g.captionHeight);
  EXPECT_FALSE(g.useTheme);
}

TEST(WatchGeometry, NormalWindowTakesEdgePlusCaptionAndTheTheme) {
  RECT wr = {100, 120, 600, 400};
  ScreenGeometry g = normalGeometry(wr, metrics());
  EXPECT_EQ(SCREEN_NORMAL, g.mode);
  EXPECT_TRUE(rectIs(g.rect, 100, 120, 600, 400));
  EXPECT_EQ(3 + 19, g.captionHeight);
  EXPECT_TRUE(g.useTheme);
}

TEST(WatchGeometry, OnlyAWindowAsLargeAsAMaximizedOneIsReadTwice) {
  CaptionMetrics m = metrics();
  EXPECT_TRUE(looksMaximizing(RECT{0, 0, 1288, 1000}, m));
  EXPECT_TRUE(looksMaximizing(RECT{-10, -10, 1300, 1000}, m));
  EXPECT_FALSE(looksMaximizing(RECT{0, 0, 1287, 1000}, m));  // one pixel narrower
  EXPECT_FALSE(looksMaximizing(RECT{0, 0, 1288, 999}, m));   // one pixel lower
}

TEST(WatchPlacement, ShownCoversTheStripAtTheCaptionHeight) {
  Placement p = placementOf(RECT{100, 120, 600, 400}, 22, 1);
  EXPECT_EQ(100, p.pos.x);
  EXPECT_EQ(120, p.pos.y);
  EXPECT_EQ(500, p.size.cx);
  EXPECT_EQ(22, p.size.cy);
}

TEST(WatchPlacement, HiddenShrinksTo20x20AtTheTopLeftCorner) {
  Placement p = placementOf(RECT{100, 120, 600, 400}, 22, 0);
  EXPECT_EQ(100, p.pos.x);
  EXPECT_EQ(120, p.pos.y);
  EXPECT_EQ(20, p.size.cx);
  EXPECT_EQ(20, p.size.cy);
  // A minimized or vanished target leaves the empty rectangle: (0, 0).
  Placement q = placementOf(RECT{0, 0, 0, 0}, 0, 0);
  EXPECT_EQ(0, q.pos.x);
  EXPECT_EQ(0, q.pos.y);
  EXPECT_EQ(20, q.size.cx);
  EXPECT_EQ(20, q.size.cy);
}

// ---------------------------------------------------------------------------
// Caption-button width

TEST(WatchButtonWidth, SumsMinimizeMaximizeCloseButNotHelp) {
  TITLEBARINFOEX info;
  ZeroMemory(&info, sizeof info);
  info.rgrect[2] = RECT{500, 5, 526, 25};  // minimize 26
  info.rgrect[3] = RECT{526, 5, 552, 25};  // maximize 26
  info.rgrect[4] = RECT{440, 5, 500, 25};  // help: not counted
  info.rgrect[5] = RECT{552, 5, 598, 25};  // close 46
  EXPECT_EQ(26 + 26 + 46 + 2 + 1, buttonWidthOf(info, metrics()));
}

TEST(WatchButtonWidth, NoButtonsFallsBackToThreeSmallButtons) {
  TITLEBARINFOEX info;
  ZeroMemory(&info, sizeof info);  // what a failed or timed-out query leaves
  EXPECT_EQ(3 * 17 + 2 + 1, buttonWidthOf(info, metrics()));
}

TEST(WatchButtonWidth, CloseButtonAloneIsTakenAsItIs) {
  RECT none = {0, 0, 0, 0};
  RECT close = {560, 5, 600, 25};
  EXPECT_EQ(40 + 2 + 1, buttonWidthOf(none, none, close, metrics()));
}

// ---------------------------------------------------------------------------
// Stacking

HWND fakeWnd(UINT_PTR v) { return reinterpret_cast<HWND>(v); }

TEST(WatchZOrder, FixedModeIsTopmostWhenShownAndTopWhenHidden) {
  EXPECT_EQ(ZORDER_TOPMOST, chooseZOrder(DISP_FIXED, 1, NULL, fakeWnd(0x10), 1));
  EXPECT_EQ(ZORDER_TOP, chooseZOrder(DISP_FIXED, 0, NULL, fakeWnd(0x10), 1));
}

TEST(WatchZOrder, FloatHiddenIsTop) {
  EXPECT_EQ(ZORDER_TOP, chooseZOrder(DISP_FLOAT, 0, fakeWnd(0x20), fakeWnd(0x10), 1));
}

TEST(WatchZOrder, TargetAtTheTopMakesTheIndicatorTopmost) {
  EXPECT_EQ(ZORDER_TOPMOST, chooseZOrder(DISP_FLOAT, 1, NULL, fakeWnd(0x10), 1));
}

TEST(WatchZOrder, IndicatorAlreadyAboveTheTargetKeepsItsPlace) {
  ZORDER_KIND k = chooseZOrder(DISP_FLOAT, 1, fakeWnd(0x10), fakeWnd(0x10), 0);
  EXPECT_EQ(ZORDER_UNCHANGED, k);
  EXPECT_TRUE(zOrderFlagsOf(k) & SWP_NOZORDER);
}

TEST(WatchZOrder, CoveredTargetGetsTheIndicatorBelowTheCoveringWindow) {
  ZORDER_KIND k = chooseZOrder(DISP_FLOAT, 1, fakeWnd(0x20), fakeWnd(0x10), 1);
  EXPECT_EQ(ZORDER_AFTER_PREV, k);
  EXPECT_EQ(fakeWnd(0x20), insertAfterOf(k, fakeWnd(0x20)));
  EXPECT_FALSE(zOrderFlagsOf(k) & SWP_NOZORDER);
}

TEST(WatchZOrder, WindowOfAProcessWeMayNotOpenMakesTheIndicatorTopmost) {
  EXPECT_EQ(ZORDER_TOPMOST, chooseZOrder(DISP_FLOAT, 1, fakeWnd(0x20), fakeWnd(0x10), 0));
}

TEST(WatchZOrder, InsertAfterAndFlags) {
  EXPECT_EQ(HWND_TOPMOST, insertAfterOf(ZORDER_TOPMOST, fakeWnd(0x20)));
  EXPECT_EQ(HWND_TOP, insertAfterOf(ZORDER_TOP, fakeWnd(0x20)));
  // Every placement shows the window without activating it, also the hidden one.
  for (ZORDER_KIND k : {ZORDER_TOPMOST, ZORDER_TOP, ZORDER_AFTER_PREV, ZORDER_UNCHANGED}) {
    EXPECT_EQ(UINT(SWP_NOACTIVATE | SWP_SHOWWINDOW),
              zOrderFlagsOf(k) & (SWP_NOACTIVATE | SWP_SHOWWINDOW));
  }
}

TEST(WatchZOrder, MissingRightsWarningOncePerWindowAndNeverForAnAdministrator) {
  HWND last = NULL;
  ASSERT_TRUE(shouldWarnNoAdmin(fakeWnd(0x20), last, false));
  last = fakeWnd(0x20);
  EXPECT_FALSE(shouldWarnNoAdmin(fakeWnd(0x20), last, false));  // same window again
  EXPECT_TRUE(shouldWarnNoAdmin(fakeWnd(0x30), last, false));   // another one
  EXPECT_FALSE(shouldWarnNoAdmin(fakeWnd(0x30), last, true));   // administrator
}

TEST(WatchErase, LayeredWindowKeepsItsPictureMovableWindowErases) {
  EXPECT_FALSE(shouldEraseBackgroundFor(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT |
                                        WS_EX_TOPMOST));
  EXPECT_TRUE(shouldEraseBackgroundFor(WS_EX_WINDOWEDGE));
}

// ---------------------------------------------------------------------------
// Opacity and blinking

TEST(WatchOpacity, PercentToByteTruncates) {
  EXPECT_EQ(153, opacityByte(60));
  EXPECT_EQ(0, opacityByte(0));
  EXPECT_EQ(255, opacityByte(100));
  EXPECT_EQ(38, opacityByte(15));   // 38.25
  EXPECT_EQ(102, opacityByte(40));  // the default dim level
  EXPECT_EQ(2, opacityByte(1));     // 2.55
}

TEST(WatchOpacity, OutOfRangePercentHoldsAtTheEnds) {
  EXPECT_EQ(255, opacityByte(130));  // would wrap the byte to 75
  EXPECT_EQ(0, opacityByte(-5));
}

TEST(WatchOpacity, DrawFollowsTheImeStateHiddenAndMovable) {
  EXPECT_EQ(153, drawOpacity(1, 1, 1, 60, 0));  // open: alphaOn
  EXPECT_EQ(0, drawOpacity(1, 1, 0, 60, 0));    // closed at 0 although shown
  EXPECT_EQ(255, drawOpacity(1, 1, 0, 60, 100));
  EXPECT_EQ(0, drawOpacity(0, 1, 1, 60, 60));    // hidden
  EXPECT_EQ(255, drawOpacity(1, 0, 1, 10, 10));  // movable: whatever the settings
  EXPECT_EQ(0, drawOpacity(0, 0, 1, 10, 10));
}

TEST(WatchBlink, DimLevelIs20BelowAndFlooredAtZero) {
  EXPECT_EQ(40, dimLevel(60));
  EXPECT_EQ(1, dimLevel(21));
  EXPECT_EQ(0, dimLevel(20));
  EXPECT_EQ(0, dimLevel(15));
}

TEST(WatchBlink, OddCountsFullEvenCountsDim) {
  BYTE full = opacityByte(60), dim = opacityByte(dimLevel(60));
  EXPECT_EQ(102, blinkOpacity(1, 0, full, dim, 1));
  EXPECT_EQ(153, blinkOpacity(1, 1, full, dim, 1));
  EXPECT_EQ(102, blinkOpacity(1, 1000, full, dim, 1));
  EXPECT_EQ(153, blinkOpacity(1, 1001, full, dim, 1));
  EXPECT_EQ(153, blinkOpacity(0, 0, full, dim, 1));  // not blinking: always full
  EXPECT_EQ(0, blinkOpacity(1, 1, full, dim, 0));    // hidden
}

TEST(WatchBlink, LowOpacityFlashesBetween38AndZero) {
  BYTE full = opacityByte(15), dim = opacityByte(dimLevel(15));
  EXPECT_EQ(38, blinkOpacity(1, 1, full, dim, 1));
  EXPECT_EQ(0, blinkOpacity(1, 2, full, dim, 1));
}

TEST(WatchBlink, CounterRunsTo1001AndWrapsWithoutBreakingTheAlternation) {
  EXPECT_EQ(1, nextBlinkCount(0));
  EXPECT_EQ(1001, nextBlinkCount(1000));
  EXPECT_EQ(0, nextBlinkCount(1001));
  // Walk past the wrap twice: full and dim must alternate at every step.
  BYTE full = 200, dim = 100;
  int count = 990;
  BYTE last = blinkOpacity(1, count, full, dim, 1);
  for (int i = 0; i < 2100; ++i) {
    count = nextBlinkCount(count);
    ASSERT_GE(count, 0);
    ASSERT_LE(count, 1001);
    BYTE now = blinkOpacity(1, count, full, dim, 1);
    ASSERT_NE(last, now) << "stumbled at count " << count;
    last = now;
  }
}

// ---------------------------------------------------------------------------
// Timers after a settings change

TEST(WatchTimerPlan, BlinkOnStartsOffKillsNewPeriodRestarts) {
  TimerPlan on = planTimerChanges(DISP_FLOAT, DISP_FLOAT, 0, 1, 800, 800);
  EXPECT_TRUE(on.startBlink);
  EXPECT_FALSE(on.killBlink);

  TimerPlan off = planTimerChanges(DISP_FLOAT, DISP_FLOAT, 1, 0, 800, 800);
  EXPECT_FALSE(off.startBlink);
  EXPECT_TRUE(off.killBlink);

  TimerPlan period = planTimerChanges(DISP_FLOAT, DISP_FLOAT, 1, 1, 800, 400);
  EXPECT_TRUE(period.killBlink);
  EXPECT_TRUE(period.startBlink);
}

TEST(WatchTimerPlan, UnchangedBlinkLeavesTheTimerAlone) {
  for (int blink : {0, 1}) {
    TimerPlan p = planTimerChanges(DISP_FLOAT, DISP_FLOAT, blink, blink, 800, 800);
    EXPECT_FALSE(p.startBlink);
    EXPECT_FALSE(p.killBlink);
    EXPECT_FALSE(p.startTransWatch);
  }
  // A new period while blinking stays off changes nothing either.
  TimerPlan p = planTimerChanges(DISP_FLOAT, DISP_FLOAT, 0, 0, 800, 300);
  EXPECT_FALSE(p.startBlink);
  EXPECT_FALSE(p.killBlink);
}

TEST(WatchTimerPlan, HoverWatchStartsOnlyFromFloatToFixed) {
  EXPECT_TRUE(planTimerChanges(DISP_FLOAT, DISP_FIXED, 0, 0, 800, 800).startTransWatch);
  EXPECT_FALSE(planTimerChanges(DISP_FIXED, DISP_FIXED, 0, 0, 800, 800).startTransWatch);
  EXPECT_FALSE(planTimerChanges(DISP_FIXED, DISP_FLOAT, 0, 0, 800, 800).startTransWatch);
}

// ---------------------------------------------------------------------------
// The screen clamp (1280 x 1024)

const int W = 1280, H = 1024;

TEST(WatchClamp, InsideStaysAsItIs) {
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{100, 0, 250, 50}, W, H), 100, 0, 250, 50));
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{0, 0, W, H}, W, H), 0, 0, W, H));
}

TEST(WatchClamp, OutOnTheLeftMovesRightWithItsWidth) {
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{-75, 10, 75, 60}, W, H), 0, 10, 150, 60));
}

TEST(WatchClamp, OutOnTheLeftWithoutRoomReachesTheRightEdge) {
  // 1300 wide, 100 out on the left: no room to move, so it spans the screen.
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{-100, 10, 1200, 60}, W, H), 0, 10, W, 60));
}

TEST(WatchClamp, OutOnTheRightMovesLeftWithItsWidth) {
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{1200, 10, 1350, 60}, W, H), 1130, 10, W, 60));
}

TEST(WatchClamp, OutOnTheRightWithoutRoomIsCutAtTheEdge) {
  // The right side does not reach over to the left edge: the left stays and the
  // rectangle is cut, unlike the left side above.
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{100, 10, 1500, 60}, W, H), 100, 10, W, 60));
}

TEST(WatchClamp, WiderThanTheScreenTakesTheWholeWidth) {
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{-10, 10, 1300, 60}, W, H), 0, 10, W, 60));
}

TEST(WatchClamp, TopAndBottomLikeLeftAndRight) {
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{10, -20, 160, 30}, W, H), 10, 0, 160, 50));
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{10, 1000, 160, 1050}, W, H), 10, 974, 160, H));
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{10, 5, 160, 1100}, W, H), 10, 5, 160, H));
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{10, -5, 160, 1100}, W, H), 10, 0, 160, H));
}

TEST(WatchClamp, FullyOffScreenComesBackWithItsSize) {
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{-500, -300, -350, -250}, W, H), 0, 0, 150, 50));
  EXPECT_TRUE(rectIs(clampRectToScreen(RECT{2000, 1500, 2150, 1550}, W, H), W - 150, H - 50, W, H));
}

// ---------------------------------------------------------------------------
// The hover countdown

HoverInput hover(int cursorOver, int count = 5, int shift = 0, int waiting = 0, int fixed = 1,
                 int transparent = 1) {
  return HoverInput{fixed != 0, transparent != 0, waiting != 0, shift != 0, count, cursorOver != 0};
}

TEST(WatchHover, FloatModeNeverWaits) {
  EXPECT_EQ(TRANS_WATCH_IDLE, decideTransWatch(hover(1, 0, 1, 0, /*fixed*/ 0)));
}

TEST(WatchHover, CursorOverStartsTheWaitCursorAwayStaysIdle) {
  EXPECT_EQ(TRANS_WATCH_START_WAIT, decideTransWatch(hover(1, 5)));
  EXPECT_EQ(TRANS_WATCH_IDLE, decideTransWatch(hover(0, 5)));
}

TEST(WatchHover, RunningWaitIsLeftAlone) {
  EXPECT_EQ(TRANS_WATCH_WAITING, decideTransWatch(hover(0, 5, 0, /*waiting*/ 1)));
}

TEST(WatchHover, CountZeroTurnsMovableOnTheFirstTickOverIt) {
  EXPECT_EQ(TRANS_WATCH_MOVABLE, decideTransWatch(hover(1, 0)));
  EXPECT_EQ(TRANS_WATCH_IDLE, decideTransWatch(hover(0, 0)));
}

TEST(WatchHover, CountMinusOneNeverUnlessShift) {
  EXPECT_EQ(TRANS_WATCH_IDLE, decideTransWatch(hover(1, -1)));
  EXPECT_EQ(TRANS_WATCH_MOVABLE, decideTransWatch(hover(1, -1, /*shift*/ 1)));
  EXPECT_EQ(TRANS_WATCH_IDLE, decideTransWatch(hover(0, -1, /*shift*/ 1)));
}

TEST(WatchHover, ShiftTurnsMovableAtOnce) {
  EXPECT_EQ(TRANS_WATCH_MOVABLE, decideTransWatch(hover(1, 5, 1)));
}

TEST(WatchHover, CountdownOfFiveShowsFiveToZeroAndIsUpOnTheSixthTick) {
  const int count = 5;
  std::vector<std::wstring> shown{countdownText(count, 0)};
  int waited = 0;
  int ticks = 0;
  for (;;) {
    ++ticks;
    TRANS_WAIT_ACTION a = decideTransWait(hover(1, count, 0, 1), waited);
    if (a == TRANS_WAIT_UP) break;
    ASSERT_EQ(TRANS_WAIT_COUNT, a);
    ++waited;
    shown.push_back(countdownText(count, waited));
    ASSERT_LT(ticks, 100);
  }
  EXPECT_EQ(6, ticks);
  std::vector<std::wstring> want{L"5", L"4", L"3", L"2", L"1", L"0"};
  EXPECT_EQ(want, shown);
}

TEST(WatchHover, WaitEndsWhenTheCursorLeavesOrShiftIsHeld) {
  EXPECT_EQ(TRANS_WAIT_LEFT, decideTransWait(hover(0, 5, 0, 1), 2));
  EXPECT_EQ(TRANS_WAIT_SHIFT, decideTransWait(hover(1, 5, 1, 1), 2));
  // Shift with the cursor away cannot make it movable: the wait ends as a leave.
  EXPECT_EQ(TRANS_WAIT_LEFT, decideTransWait(hover(0, 5, 1, 1), 2));
}

TEST(WatchHover, WaitThatFindsNoFixedClickThroughIndicatorIsAbandoned) {
  // Switched to float mode during the wait.
  EXPECT_EQ(TRANS_WAIT_ABANDON, decideTransWait(hover(1, 5, 0, 1, /*fixed*/ 0), 2));
  // Already the movable window.
  EXPECT_EQ(TRANS_WAIT_ABANDON, decideTransWait(hover(1, 5, 0, 1, 1, /*transparent*/ 0), 2));
}

TEST(WatchHover, MovableOnlyWhenFixedClickThroughAndOver) {
  EXPECT_TRUE(canTurnMovable(hover(1)));
  EXPECT_FALSE(canTurnMovable(hover(0)));
  EXPECT_FALSE(canTurnMovable(hover(1, 5, 0, 0, 0)));
  EXPECT_FALSE(canTurnMovable(hover(1, 5, 0, 0, 1, 0)));
}

// ---------------------------------------------------------------------------
// Cursor tests: the indicator's half-open rectangle against the tooltip's closed one

TEST(WatchCursor, RightAndBottomEdgesAreOutsideTheIndicatorButInsideForTheTooltip) {
  RECT r = {100, 0, 250, 50};
  EXPECT_TRUE(pointInHalfOpen(r, POINT{100, 0}));
  EXPECT_TRUE(pointInHalfOpen(r, POINT{249, 49}));
  EXPECT_FALSE(pointInHalfOpen(r, POINT{250, 10}));
  EXPECT_FALSE(pointInHalfOpen(r, POINT{120, 50}));
  EXPECT_FALSE(pointInHalfOpen(r, POINT{99, 10}));

  EXPECT_TRUE(pointInClosed(r, POINT{250, 10}));
  EXPECT_TRUE(pointInClosed(r, POINT{120, 50}));
  EXPECT_TRUE(pointInClosed(r, POINT{250, 50}));
  EXPECT_FALSE(pointInClosed(r, POINT{251, 10}));
  EXPECT_FALSE(pointInClosed(r, POINT{120, -1}));
}

// ---------------------------------------------------------------------------
// Tooltip geometry

TEST(ToolTipGeometry, StandsTenPixelsRightOfTheCursor) {
  POINT p = toolTipPosition(POINT{300, 40});
  EXPECT_EQ(310, p.x);
  EXPECT_EQ(40, p.y);
}

TEST(ToolTipGeometry, TextOriginFollowsTheStaticStyleBits) {
  TextOrigin c = toolTipTextOrigin(WS_POPUP | WS_BORDER | 0x1, 20, 1, 1);
  EXPECT_EQ(TEXT_ALIGN_CENTER, c.align);
  EXPECT_EQ(9, c.x);
  EXPECT_EQ(1, c.y);
  TextOrigin odd = toolTipTextOrigin(0x1, 21, 1, 2);
  EXPECT_EQ(9, odd.x);  // 21 / 2 - 1, integer division
  EXPECT_EQ(2, odd.y);
  TextOrigin r = toolTipTextOrigin(0x2, 20, 1, 1);
  EXPECT_EQ(TEXT_ALIGN_RIGHT, r.align);
  EXPECT_EQ(20, r.x);
  TextOrigin l = toolTipTextOrigin(0, 20, 1, 1);
  EXPECT_EQ(TEXT_ALIGN_LEFT, l.align);
  EXPECT_EQ(0, l.x);
}

}  // namespace
