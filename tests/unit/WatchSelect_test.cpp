// The watcher's choice of target: the filter rules, the move test, the own-executable
// match, and the decision over real windows of the test process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Watch.h"
#include "WatchProbe.h"
#include "WindowTestSupport.h"

// ------------------------------------------------------------------ the filter, pure

namespace {

// Filter questions whose answers are set per test; every question asked is recorded.
struct FilterProbe {
  std::vector<std::string> asked;
  bool ownExe = false, indicator = false, dialogWnd = false, tabPage = false, toolTip = false,
       fullScreen = false, targetAlive = false, appWindow = false;
  LONG_PTR style = WS_OVERLAPPEDWINDOW;
  int titleLength = 5;

  TargetFilterQuestions questions(int state = 2, bool transparent = true, bool dialog = false,
                                  DISP_MODE dMode = DISP_FLOAT, bool nonCaptionShow = false) {
    TargetFilterQuestions q;
    q.state = state;
    q.transparent = transparent;
    q.dialog = dialog;
    q.dMode = dMode;
    q.nonCaptionShow = nonCaptionShow;
    q.isOwnExe = [this] { return ask("ownExe", ownExe); };
    q.isIndicator = [this] { return ask("indicator", indicator); };
    q.isDialog = [this] { return ask("dialog", dialogWnd); };
    q.isTabPage = [this] { return ask("tabPage", tabPage); };
    q.isToolTip = [this] { return ask("toolTip", toolTip); };
    q.isFullScreen = [this] { return ask("fullScreen", fullScreen); };
    q.style = [this] {
      asked.push_back("style");
      return style;
    };
    q.titleLength = [this] {
      asked.push_back("titleLength");
      return titleLength;
    };
    q.targetAlive = [this] { return ask("targetAlive", targetAlive); };
    q.isAppWindow = [this] { return ask("appWindow", appWindow); };
    return q;
  }
  bool ask(const char* name, bool answer) {
    asked.push_back(name);
    return answer;
  }
  bool wasAsked(const std::string& name) const {
    for (const std::string& a : asked) {
      if (a == name) return true;
    }
    return false;
  }
};

}  // namespace

TEST(TargetFilter, NotStartedOrMovableSkipsWithoutAsking) {
  FilterProbe p;
  EXPECT_EQ(1, targetFilterRule(p.questions(0)));
  EXPECT_EQ(1, targetFilterRule(p.questions(3)));
  EXPECT_EQ(1, targetFilterRule(p.questions(2, 0)));
  EXPECT_TRUE(p.asked.empty());
}

TEST(TargetFilter, OwnIndicatorDialogPageAndToolTipRulesInOrder) {
  {
    FilterProbe p;
    p.ownExe = p.indicator = true;
    EXPECT_EQ(2, targetFilterRule(p.questions()));
    EXPECT_EQ(std::vector<std::string>{"ownExe"}, p.asked);
  }
  {
    FilterProbe p;
    p.indicator = p.toolTip = true;
    EXPECT_EQ(3, targetFilterRule(p.questions()));
  }
  {
    FilterProbe p;
    p.dialogWnd = p.tabPage = true;
    EXPECT_EQ(4, targetFilterRule(p.questions(2, 1, 1)));
    EXPECT_FALSE(p.wasAsked("tabPage"));
  }
  {
    FilterProbe p;
    p.tabPage = true;
    EXPECT_EQ(5, targetFilterRule(p.questions(2, 1, 1)));
  }
  {
    // Without the dialog flag the dialog and its pages are not asked about.
    FilterProbe p;
    p.dialogWnd = p.tabPage = true;
    p.targetAlive = true;
    EXPECT_EQ(9, targetFilterRule(p.questions(2, 1, 0)));
    EXPECT_FALSE(p.wasAsked("dialog"));
    EXPECT_FALSE(p.wasAsked("tabPage"));
  }
  {
    FilterProbe p;
    p.toolTip = true;
    EXPECT_EQ(6, targetFilterRule(p.questions()));
    EXPECT_FALSE(p.wasAsked("fullScreen"));
  }
}

TEST(TargetFilter, FullScreenWithoutBorderOrDialogFrame) {
  FilterProbe p;
  p.fullScreen = true;
  p.style = WS_POPUP | WS_VISIBLE;
  p.titleLength = 4;
  p.targetAlive = true;
  EXPECT_EQ(7, targetFilterRule(p.questions()));
  EXPECT_FALSE(p.wasAsked("targetAlive"));
  // nonCaptionShow lets it through.
  EXPECT_EQ(9, targetFilterRule(p.questions(2, 1, 0, DISP_FLOAT, 1)));
  // Either bit of the caption means the window is processed.
  p.style = WS_POPUP | WS_BORDER;
  EXPECT_EQ(9, targetFilterRule(p.questions()));
  p.style = WS_POPUP | WS_DLGFRAME;
  EXPECT_EQ(9, targetFilterRule(p.questions()));
  // Not screen-sized: the style is not even read for this rule.
  FilterProbe small;
  small.style = WS_POPUP;
  small.appWindow = true;
  EXPECT_EQ(9, targetFilterRule(small.questions(2, 1, 0, DISP_FIXED)));
  EXPECT_FALSE(small.wasAsked("style"));
}

TEST(TargetFilter, UntitledPopupSkippedInFloatModeOnly) {
  FilterProbe p;
  p.style = WS_POPUP | WS_CAPTION;
  p.titleLength = 0;
  p.appWindow = true;
  EXPECT_EQ(8, targetFilterRule(p.questions(2, 1, 0, DISP_FLOAT)));
  EXPECT_FALSE(p.wasAsked("appWindow"));
  EXPECT_EQ(9, targetFilterRule(p.questions(2, 1, 0, DISP_FIXED)));
  p.titleLength = 3;  // titled pop-ups are processed
  EXPECT_EQ(9, targetFilterRule(p.questions(2, 1, 0, DISP_FLOAT)));
  p.style = WS_OVERLAPPED;  // untitled non-pop-ups too
  p.titleLength = 0;
  EXPECT_EQ(9, targetFilterRule(p.questions(2, 1, 0, DISP_FLOAT)));
}

TEST(TargetFilter, LiveTargetSparesTheApplicationWindowTest) {
  FilterProbe p;
  p.targetAlive = true;
  EXPECT_EQ(9, targetFilterRule(p.questions()));
  EXPECT_FALSE(p.wasAsked("appWindow"));
  // Not a pop-up: the title is not read either.
  std::vector<std::string> order = {"ownExe",     "indicator", "toolTip",
                                    "fullScreen", "style",     "targetAlive"};
  EXPECT_EQ(order, p.asked);

  FilterProbe q;
  q.appWindow = true;
  EXPECT_EQ(9, targetFilterRule(q.questions()));
  EXPECT_TRUE(q.wasAsked("appWindow"));

  FilterProbe none;  // no live target, no application window
  EXPECT_EQ(10, targetFilterRule(none.questions()));
}

// ------------------------------------------------------------------ move test, pure

TEST(MoveTracker, FirstLookNeverMovesAndChangeCountsOnce) {
  MoveTracker t;
  HWND a = reinterpret_cast<HWND>(0x1234), b = reinterpret_cast<HWND>(0x5678);
  RECT r1 = {10, 10, 200, 100}, r2 = {15, 10, 205, 100};
  EXPECT_EQ(0, t.look(a, r1));
  EXPECT_EQ(0, t.look(a, r1));
  EXPECT_EQ(1, t.look(a, r2));  // dragged
  EXPECT_EQ(0, t.look(a, r2));  // stopped: back at the next look
  EXPECT_EQ(0, t.look(b, r1));  // another window: first look
  EXPECT_EQ(0, t.look(a, r1));  // and back again: a first look once more
  EXPECT_EQ(a, t.wnd);
}

TEST(MoveTracker, UnknownRectangleIsTakenWithoutCountingAsMoving) {
  MoveTracker t;
  HWND a = reinterpret_cast<HWND>(0x1234);
  RECT zero = {0, 0, 0, 0}, r = {1, 2, 3, 4};
  EXPECT_EQ(0, t.look(a, zero));
  EXPECT_EQ(0, t.look(a, r));  // the stored rectangle was all zero
  EXPECT_EQ(1, t.look(a, zero));
}

// ------------------------------------------------------------------ own executable, pure

TEST(OwnExeName, UpperCasedNameAgainstClassPlusExe) {
  EXPECT_EQ(L"CORVELA.EXE", ownExeNameOf(L"CORVELA"));
  const std::wstring own = ownExeNameOf(L"CORVELA");
  EXPECT_TRUE(isOwnExeName(L"Corvela.exe", own));
  EXPECT_TRUE(isOwnExeName(L"CORVELA.EXE", own));
  EXPECT_FALSE(isOwnExeName(L"Corvela32.exe", own));  // the 32-bit program is judged as others
  EXPECT_FALSE(isOwnExeName(L"Corvela.exe.old", own));
  EXPECT_FALSE(isOwnExeName(L"Corvela", own));
  EXPECT_FALSE(isOwnExeName(L"", own));
}

// ------------------------------------------------------------------ real windows

namespace {

class WatchWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    m_watch.reset(new Watch());
    // The indicator: a layered click-through pop-up, as the main window is.
    m_indicator = wts::makeWindow(
        L"Corvela", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST,
        nullptr, {100, 0, 250, 50});
    ASSERT_NE(nullptr, m_indicator);
    WatchProbe::hWnd(*m_watch) = m_indicator;
    WatchProbe::state(*m_watch) = 2;
  }
  void TearDown() override {
    m_watch.reset();
    for (HWND h : m_windows) DestroyWindow(h);
    DestroyWindow(m_indicator);
  }
  HWND make(const wchar_t* title, DWORD style, DWORD exStyle = 0, HWND parent = nullptr,
            RECT r = {300, 300, 700, 600}) {
    HWND h = wts::makeWindow(title, style, exStyle, parent, r);
    EXPECT_NE(nullptr, h);
    m_windows.insert(m_windows.begin(), h);
    return h;
  }
  RECT screen() const {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }

  wts::WatchGlobals m_globals;
  std::unique_ptr<Watch> m_watch;
  HWND m_indicator = nullptr;
  std::vector<HWND> m_windows;
};

}  // namespace

TEST_F(WatchWindows, ConstructionSetsEveryFieldAndTheOwnName) {
  Watch w;
  EXPECT_EQ(L"CORVELA.EXE", g_ownExeName);
  EXPECT_EQ(110, WatchProbe::dimOff(w));
  EXPECT_EQ(160, WatchProbe::dimOn(w));
  EXPECT_EQ(nullptr, WatchProbe::hWnd(w));
  EXPECT_EQ(nullptr, WatchProbe::hTarget(w));
  EXPECT_EQ(nullptr, WatchProbe::hLastActive(w));
  EXPECT_EQ(0, WatchProbe::imeOpen(w));
  EXPECT_EQ(0, WatchProbe::convMode(w));
  EXPECT_EQ(130, WatchProbe::alphaOff(w));
  EXPECT_EQ(180, WatchProbe::alphaOn(w));
  EXPECT_EQ(200u, WatchProbe::blinkSpeed(w));
  EXPECT_EQ(0u, WatchProbe::blinkTimer(w));
  EXPECT_EQ(0, WatchProbe::state(w));
  EXPECT_EQ((int)DISP_FLOAT, WatchProbe::dMode(w));
  EXPECT_EQ(100, WatchProbe::dModePos(w).left);
  EXPECT_EQ(0, WatchProbe::dModePos(w).top);
  EXPECT_EQ(250, WatchProbe::dModePos(w).right);
  EXPECT_EQ(50, WatchProbe::dModePos(w).bottom);
  EXPECT_EQ(1, WatchProbe::transparent(w));
  EXPECT_EQ(0, WatchProbe::dialog(w));
  EXPECT_EQ(nullptr, WatchProbe::pToolTip(w).get());
  EXPECT_EQ(200u, WatchProbe::loopInterval(w));
  EXPECT_EQ(nullptr, WatchProbe::pTheme(w).get());
  EXPECT_EQ(0u, WatchProbe::swpExtra(w));
  EXPECT_EQ(nullptr, WatchProbe::hNextStart(w));
  EXPECT_EQ(0, WatchProbe::nonCaptionShow(w));
}

TEST_F(WatchWindows, NamesOfWindowsOfThisProcess) {
  HWND app = make(L"App", WS_OVERLAPPEDWINDOW);
  boost::shared_array<wchar_t> exe = m_watch->getExeName(app);
  EXPECT_EQ(0, _wcsicmp(L"corvela_unit.exe", exe.get())) << exe.get();
  EXPECT_STREQ(wts::kTestClass, m_watch->getClassName(app).get());  // 21 characters: grows
  EXPECT_EQ(1, m_watch->canOpenProcess(app));

  wts::LogCapture log(L"h3_watch_names.log");
  EXPECT_STREQ(L"", m_watch->getExeName(nullptr).get());
  EXPECT_STREQ(L"", m_watch->getClassName(nullptr).get());
  EXPECT_EQ(0, m_watch->canOpenProcess(nullptr));
  EXPECT_TRUE(log.contains(L"GetWindowThreadProcessId() : NULL : hWnd : 00000000")) << log.text();
}

TEST_F(WatchWindows, LongClassNameComesBackWhole) {
  const wchar_t* longName = L"CorvelaUnitTestWindowWithAVeryLongClassNameIndeed";
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = wts::plainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = longName;
  RegisterClassExW(&wc);
  HWND h = CreateWindowExW(0, longName, L"x", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, h);
  EXPECT_STREQ(longName, m_watch->getClassName(h).get());
  DestroyWindow(h);
}

TEST_F(WatchWindows, FullScreenIsScreenSizedWherever) {
  HWND full = make(L"Full", WS_POPUP, 0, nullptr, screen());
  RECT moved = screen();
  OffsetRect(&moved, 40, 30);
  HWND shifted = make(L"Shifted", WS_POPUP, 0, nullptr, moved);
  HWND small = make(L"Small", WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(1, m_watch->isFullScreen(full));
  EXPECT_EQ(1, m_watch->isFullScreen(shifted));
  EXPECT_EQ(0, m_watch->isFullScreen(small));
  wts::LogCapture log(L"h3_watch_full.log");
  EXPECT_EQ(0, m_watch->isFullScreen(nullptr));
  EXPECT_TRUE(log.contains(L"ERROR    : GetWindowRect() : [")) << log.text();
}

TEST_F(WatchWindows, ShowsForAnApplicationWindowAndHidesForOthers) {
  HWND app = make(L"Editor", WS_OVERLAPPEDWINDOW);
  HWND tool = make(L"Palette", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
  WatchProbe::hTarget(*m_watch) = app;

  m_watch->detectTarget(app);
  EXPECT_EQ(1, WatchProbe::show(*m_watch));
  m_watch->detectTarget(tool);
  EXPECT_EQ(0, WatchProbe::show(*m_watch));
  m_watch->detectTarget(m_indicator);
  EXPECT_EQ(0, WatchProbe::show(*m_watch));
  WatchProbe::dialog(*m_watch) = 1;  // settings dialog open: hidden for every window
  m_watch->detectTarget(app);
  EXPECT_EQ(0, WatchProbe::show(*m_watch));
}

TEST_F(WatchWindows, DestroyedWindowIsNoTarget) {
  HWND app = make(L"Editor", WS_OVERLAPPEDWINDOW);
  WatchProbe::hTarget(*m_watch) = app;
  HWND gone = wts::makeWindow(L"Gone", WS_OVERLAPPEDWINDOW);
  DestroyWindow(gone);
  wts::LogCapture log(L"h3_watch_gone.log");
  m_watch->detectTarget(gone);
  EXPECT_EQ(0, WatchProbe::show(*m_watch));
  EXPECT_TRUE(log.contains(L"detectTarget() : No Target Window.")) << log.text();
}

TEST_F(WatchWindows, DraggedTargetHidesUntilItRests) {
  HWND app = make(L"Editor", WS_OVERLAPPEDWINDOW);
  WatchProbe::hTarget(*m_watch) = app;
  m_watch->detectTarget(app);
  EXPECT_EQ(1, WatchProbe::show(*m_watch));
  SetWindowPos(app, nullptr, 320, 310, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_watch->detectTarget(app);
  EXPECT_EQ(0, WatchProbe::show(*m_watch));
  m_watch->detectTarget(app);
  EXPECT_EQ(1, WatchProbe::show(*m_watch));
}

TEST_F(WatchWindows, UntitledPopupSkippedInFloatModeProcessedInFixedMode) {
  HWND app = make(L"Editor", WS_OVERLAPPEDWINDOW);
  HWND popup = make(L"", WS_POPUP | WS_CAPTION);
  WatchProbe::hTarget(*m_watch) = app;
  WatchProbe::dMode(*m_watch) = DISP_FLOAT;
  EXPECT_EQ(1, m_watch->onUpdate(popup));
  WatchProbe::dMode(*m_watch) = DISP_FIXED;
  EXPECT_EQ(0, m_watch->onUpdate(popup));  // the target is alive
}

TEST_F(WatchWindows, BorderlessScreenSizedWindowFollowsNonCaptionShow) {
  HWND full = make(L"Game", WS_POPUP, 0, nullptr, screen());
  WatchProbe::nonCaptionShow(*m_watch) = 0;
  EXPECT_EQ(1, m_watch->onUpdate(full));
  WatchProbe::nonCaptionShow(*m_watch) = 1;
  EXPECT_EQ(0, m_watch->onUpdate(full));  // titled, visible, unowned: an application window
  // With a border it is processed either way.
  HWND framed = make(L"Framed", WS_POPUP | WS_BORDER, 0, nullptr, screen());
  WatchProbe::nonCaptionShow(*m_watch) = 0;
  EXPECT_EQ(0, m_watch->onUpdate(framed));
}

TEST_F(WatchWindows, OwnExecutableWindowsAndTheIndicatorAreSkipped) {
  HWND app = make(L"Editor", WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(0, m_watch->onUpdate(app));
  EXPECT_EQ(1, m_watch->onUpdate(m_indicator));
  g_ownExeName = L"CORVELA_UNIT.EXE";  // as if this were the program's own executable
  EXPECT_EQ(1, m_watch->onUpdate(app));
  g_ownExeName = L"CORVELA.EXE";
  WatchProbe::transparent(*m_watch) = 0;  // movable mode skips everything
  EXPECT_EQ(1, m_watch->onUpdate(app));
}

TEST_F(WatchWindows, NoLiveTargetAndNoApplicationWindowIsLoggedAndHidden) {
  HWND untitled = make(L"", WS_OVERLAPPEDWINDOW);
  wts::LogCapture log(L"h3_watch_nomemory.log");
  WatchProbe::show(*m_watch) = 1;
  EXPECT_EQ(1, m_watch->onUpdate(untitled));
  EXPECT_EQ(0, WatchProbe::show(*m_watch));  // decided and hidden
  EXPECT_EQ(nullptr, WatchProbe::hTarget(*m_watch));
  EXPECT_EQ(1u, log.count(L"onUpdate() : 処理します : "));
  EXPECT_TRUE(log.contains(L" : 記憶なし")) << log.text();
}

TEST_F(WatchWindows, LoopTakesTheForegroundApplicationWindowAsTarget) {
  HWND app = make(L"Editor", WS_OVERLAPPEDWINDOW);
  SetForegroundWindow(app);
  wts::pumpMessages();
  if (GetForegroundWindow() != app) GTEST_SKIP() << "the desktop did not hand over the foreground";
  m_watch->onLoopWatch();
  EXPECT_EQ(app, WatchProbe::hTarget(*m_watch));
  EXPECT_EQ(1, WatchProbe::show(*m_watch));
  // A foreground tool window is processed (the target lives) but not shown.
  HWND tool = make(L"Palette", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
  SetForegroundWindow(tool);
  wts::pumpMessages();
  ASSERT_EQ(tool, GetForegroundWindow());
  m_watch->onLoopWatch();
  EXPECT_EQ(app, WatchProbe::hTarget(*m_watch));
  EXPECT_EQ(0, WatchProbe::show(*m_watch));
}

TEST_F(WatchWindows, HookHandlers) {
  HWND app = make(L"Editor", WS_OVERLAPPEDWINDOW);
  HWND other = make(L"Other", WS_OVERLAPPEDWINDOW, 0, nullptr, {50, 500, 300, 700});
  wts::LogCapture log(L"h3_watch_hooks.log");
  m_watch->onActive(app);
  EXPECT_EQ(app, WatchProbe::hLastActive(*m_watch));
  EXPECT_EQ(app, WatchProbe::hTarget(*m_watch));
  EXPECT_EQ(1, WatchProbe::show(*m_watch));
  EXPECT_EQ(1u, log.count(L"Active : ["));
  m_watch->onActive(app);  // the same window again: nothing
  EXPECT_EQ(1u, log.count(L"Active : ["));

  // A window change with another application window moves the target.
  m_watch->onWindowChange(other);
  EXPECT_EQ(other, WatchProbe::hTarget(*m_watch));

  // Creation reports of any class but "IME" only log, each time.
  m_watch->onUpdateCreate(app);  // the last active window: nothing at all
  EXPECT_EQ(1u, log.count(L"Active : ["));
  m_watch->onUpdateCreate(other);
  m_watch->onUpdateCreate(other);
  EXPECT_EQ(app, WatchProbe::hLastActive(*m_watch));
  EXPECT_EQ(3u, log.count(L"Active : ["));

  // A redraw works on the target, and only while started and click-through.
  WatchProbe::show(*m_watch) = 7;
  m_watch->redrawTarget();
  EXPECT_EQ(1, WatchProbe::show(*m_watch));
  WatchProbe::show(*m_watch) = 7;
  WatchProbe::state(*m_watch) = 3;
  m_watch->redrawTarget();
  m_watch->onImeNotify(app);
  EXPECT_EQ(7, WatchProbe::show(*m_watch));
  WatchProbe::state(*m_watch) = 2;
  m_watch->onImeNotify(app);
  EXPECT_EQ(1, WatchProbe::show(*m_watch));

  wts::LogCapture failLog(L"h3_watch_hooks2.log");
  WatchProbe::show(*m_watch) = 7;
  m_watch->onImeNotify(nullptr);
  EXPECT_EQ(7, WatchProbe::show(*m_watch));
  EXPECT_TRUE(failLog.contains(L"ERROR : GetClassName() : HWND : 0x00000000")) << failLog.text();
}

TEST_F(WatchWindows, NextApplicationIsTheFirstCaptionedWindowBelowTheIndicator) {
  // z-order from the top: indicator, pop-up with a border only, captioned window.
  HWND captioned = make(L"Below", WS_OVERLAPPEDWINDOW);
  HWND popup = make(L"Popup", WS_POPUP | WS_BORDER);
  SetWindowPos(captioned, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(popup, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(m_indicator, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  wts::LogCapture log(L"h3_watch_next.log");
  m_watch->getNextApp();
  EXPECT_EQ(m_indicator, WatchProbe::hNextStart(*m_watch));
  EXPECT_EQ(1, WatchProbe::nextFound(*m_watch));
  EXPECT_EQ(captioned, WatchProbe::hNext(*m_watch));
  EXPECT_TRUE(log.contains(L"ターゲット検出")) << log.text();
  wchar_t line[64];
  _snwprintf(line, 64, L"To最前面 [%x][%ls]", (unsigned)(UINT_PTR)captioned, wts::kTestClass);
  EXPECT_TRUE(log.contains(line)) << log.text();
}

TEST_F(WatchWindows, NextApplicationIsHandedOverThroughItsRootOwner) {
  HWND owner = make(L"Owner", WS_OVERLAPPEDWINDOW);
  HWND owned = make(L"Owned", WS_POPUP | WS_CAPTION, 0, owner);
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(m_indicator, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  wts::LogCapture log(L"h3_watch_next_owned.log");
  m_watch->getNextApp();
  EXPECT_EQ(owned, WatchProbe::hNext(*m_watch));  // owned windows lie above their owner
  wchar_t line[64];
  _snwprintf(line, 64, L"To最前面 [%x]", (unsigned)(UINT_PTR)owner);
  EXPECT_TRUE(log.contains(line)) << log.text();
}

TEST_F(WatchWindows, NextApplicationWithoutStartWindowFindsNothing) {
  make(L"Below", WS_OVERLAPPEDWINDOW);
  DestroyWindow(m_indicator);  // the start window is never met
  wts::LogCapture log(L"h3_watch_nonext.log");
  m_watch->getNextApp();
  EXPECT_EQ(0, WatchProbe::nextFound(*m_watch));
  EXPECT_EQ(nullptr, WatchProbe::hNext(*m_watch));
  EXPECT_TRUE(log.contains(L"WARN     : getNextApp()")) << log.text();
  m_indicator = nullptr;
}

TEST_F(WatchWindows, StartTakesTheIndicatorAndSetsUpItsHelpers) {
  Watch w;
  wts::LogCapture log(L"h3_watch_start.log");
  EXPECT_EQ(1, w.start(m_indicator));
  EXPECT_EQ(2, WatchProbe::state(w));
  EXPECT_EQ(m_indicator, WatchProbe::hWnd(w));
  ASSERT_NE(nullptr, WatchProbe::pToolTip(w).get());
  EXPECT_TRUE(IsWindow(WatchProbe::pToolTip(w)->m_hWnd));
  ASSERT_NE(nullptr, WatchProbe::pTheme(w).get());
  EXPECT_EQ(g_pSettings->loopInterval, WatchProbe::loopInterval(w));
  wchar_t line[64];
  _snwprintf(line, 64, L"INFO     : start() : m_hWnd[%x]", (unsigned)(UINT_PTR)m_indicator);
  EXPECT_TRUE(log.contains(line)) << log.text();
  EXPECT_TRUE(log.contains(L"INFO     : start() : end.")) << log.text();
  // The tooltip is skipped by the filter like the indicator.
  EXPECT_EQ(1, w.onUpdate(WatchProbe::pToolTip(w)->m_hWnd));
}
