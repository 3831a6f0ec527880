// End-to-end runs of the indicator on the desktop: placement over the caption strip
// of the window in front, hiding, fixed mode, blinking, the hover countdown with
// its tooltip, the movable fixed mode and the settings-dialog hand-over. The test
// process owns the target windows and reads the indicator (class "CORVELA") the way
// any other program could.
//
// Wine reports desktop composition off, so the indicator takes the way through
// SetLayeredWindowAttributes, which lets GetLayeredWindowAttributes read its key and
// opacity. Cross-process IME queries return nothing under Wine (the IME always reads
// closed there), so the opacity seen is the closed one, alphaOff.
#include <functional>
#include <memory>

#include "IndicatorSupport.h"

using namespace e2e;

namespace {

// Where the tests put their titled target window.
const RECT kTargetRect = {120, 140, 620, 440};

class IndicatorE2e : public CorvelaTest {
 protected:
  // Lets Corvela write its default settings file, then changes it before the real start.
  void prepareSettings(const std::function<void(std::string&)>& edit) {
    {
      CorvelaProcess& first = startAndWait(L"");
      ASSERT_NE(nullptr, first.mainWindow());
      ASSERT_EQ(0u, first.end());
    }
    std::string xml = readFile(file(L"Corvela.xml"));
    ASSERT_FALSE(xml.empty());
    edit(xml);
    ASSERT_TRUE(writeFile(file(L"Corvela.xml"), xml));
  }

  void setInt(std::string& xml, const char* name, int value) {
    ASSERT_TRUE(setElement(xml, name, std::to_string(value))) << name;
  }

  // Starts Corvela and waits until it is polling.
  HWND startIndicator() {
    CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
    m_app = &app;
    return app.mainWindow();
  }

  // Brings the target to the front and waits until the indicator marks its caption strip
  // at the closed opacity (a foreign IME always reads closed under Wine).
  ::testing::AssertionResult marks(HWND main, TargetWindow& target) {
    bringToFront(target);
    return showsOver(main, captionStrip(target.hwnd()), kClosedOpacityDefault);
  }

  // Waits until the indicator covers the rectangle, shown at the opacity.
  ::testing::AssertionResult showsOver(HWND main, const RECT& strip, BYTE alpha,
                                       DWORD timeoutMs = 10000) {
    IndicatorState s;
    bool ok = waitIndicator(
        main, [&](const IndicatorState& st) { return st.at(strip) && st.alpha == alpha; }, &s,
        timeoutMs);
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "want " << describe(strip) << " alpha " << (unsigned)alpha << ", got " << describe(s);
  }

  // Waits until the indicator is hidden (20 x 20, opacity 0), at the corner if given.
  ::testing::AssertionResult hides(HWND main, const RECT* at = nullptr, DWORD timeoutMs = 10000) {
    IndicatorState s;
    bool ok = waitIndicator(
        main, [&](const IndicatorState& st) { return st.hidden() && (!at || st.at(*at)); }, &s,
        timeoutMs);
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "want hidden" << (at ? " at " + describe(*at) : std::string()) << ", got "
           << describe(s);
  }

  CorvelaProcess* m_app = nullptr;
};

// ---------------------------------------------------------------------------
// Placement over the window in front

TEST_F(IndicatorE2e, TitledTargetInFrontGetsTheIndicatorOverItsCaptionStrip) {
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  bringToFront(target);
  RECT strip = captionStrip(target.hwnd());
  ASSERT_TRUE(showsOver(main, strip, kClosedOpacityDefault));

  IndicatorState s = readIndicator(main);
  EXPECT_TRUE(s.visible);
  EXPECT_EQ(500, s.width());  // the target's width
  ASSERT_TRUE(s.layeredOk);
  EXPECT_EQ(kIndicatorKey, s.key);
  EXPECT_EQ(DWORD(LWA_COLORKEY | LWA_ALPHA), s.layeredFlags);
  LONG want = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
  EXPECT_EQ(want, s.exStyle & want);
  // Directly above the target in the z-order.
  EXPECT_EQ(main, GetWindow(target.hwnd(), GW_HWNDPREV));
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(IndicatorE2e, MovedTargetHidesTheIndicatorForATickThenItFollows) {
  // The hidden tick lasts one loop interval: the longest one, so that a busy test
  // process cannot miss it.
  prepareSettings([&](std::string& xml) { setInt(xml, "loopInterval", 1000); });
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  ASSERT_TRUE(marks(main, target));

  SetWindowPos(target.hwnd(), NULL, 300, 320, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT corner = hiddenAt(300, 320);
  EXPECT_TRUE(hides(main, &corner)) << "no hidden tick while the target moved";
  EXPECT_TRUE(showsOver(main, captionStrip(target.hwnd()), kClosedOpacityDefault));
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(IndicatorE2e, MaximizedTargetGetsTheStripShiftedByTheEdge) {
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  ASSERT_TRUE(marks(main, target));
  target.invoke([&] { ShowWindow(target.hwnd(), SW_MAXIMIZE); });
  ASSERT_TRUE(waitUntil([&] { return IsZoomed(target.hwnd()) != FALSE; }));
  EXPECT_TRUE(showsOver(main, maximizedStrip(target.hwnd()), kClosedOpacityDefault));
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(IndicatorE2e, MinimizedTargetHidesTheIndicator) {
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  ASSERT_TRUE(marks(main, target));
  target.invoke([&] { ShowWindow(target.hwnd(), SW_MINIMIZE); });
  ASSERT_TRUE(waitUntil([&] { return IsIconic(target.hwnd()) != FALSE; }));
  EXPECT_TRUE(hides(main));
  if (GetForegroundWindow() == target.hwnd()) {
    // Still the window in front: the hidden indicator stands at the origin.
    RECT origin = hiddenAt(0, 0);
    EXPECT_TRUE(hides(main, &origin));
  }
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(IndicatorE2e, DestroyedTargetHidesTheIndicator) {
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  {
    TargetWindow target(L"Corvela target", kTargetRect);
    ASSERT_TRUE(marks(main, target));
  }
  EXPECT_TRUE(hides(main));
  EXPECT_TRUE(m_app->running());
  EXPECT_EQ(0u, m_app->end());
}

// ---------------------------------------------------------------------------
// Windows that are not marked: tool windows, untitled pop-ups and full-screen
// windows without border, with nonCaptionShow 0 and 1

class NonCaptionE2e : public IndicatorE2e, public ::testing::WithParamInterface<int> {
 protected:
  // Shows the normal target again and waits for the indicator over it, so that the
  // next window's effect is seen from a known state.
  void backToTarget(HWND main, TargetWindow& target) {
    bringToFront(target);
    ASSERT_TRUE(showsOver(main, captionStrip(target.hwnd()), kClosedOpacityDefault));
  }
};

TEST_P(NonCaptionE2e, ToolWindowsAndUntitledPopupsAreNeverMarked) {
  const int nonCaptionShow = GetParam();
  prepareSettings([&](std::string& xml) { setInt(xml, "nonCaptionShow", nonCaptionShow); });
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  backToTarget(main, target);

  {
    TargetWindow tool(L"Corvela tool", RECT{200, 500, 500, 700}, WS_OVERLAPPEDWINDOW,
                      WS_EX_TOOLWINDOW);
    bringToFront(tool);
    RECT corner = hiddenAt(200, 500);
    EXPECT_TRUE(hides(main, &corner)) << "tool window, nonCaptionShow " << nonCaptionShow;
  }
  backToTarget(main, target);
  {
    TargetWindow popup(L"", RECT{250, 550, 550, 750}, WS_POPUP | WS_BORDER);
    bringToFront(popup);
    RECT corner = hiddenAt(250, 550);
    EXPECT_TRUE(hides(main, &corner)) << "untitled pop-up, nonCaptionShow " << nonCaptionShow;
  }
  EXPECT_EQ(0u, m_app->end());
}

TEST_P(NonCaptionE2e, FullScreenWindowWithoutBorderIsMarkedOnlyWithNonCaptionShow) {
  const int nonCaptionShow = GetParam();
  prepareSettings([&](std::string& xml) { setInt(xml, "nonCaptionShow", nonCaptionShow); });
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  backToTarget(main, target);

  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  TargetWindow full(L"Corvela full screen", RECT{0, 0, W, H}, WS_POPUP);
  bringToFront(full);
  if (nonCaptionShow) {
    EXPECT_TRUE(showsOver(main, captionStrip(full.hwnd()), kClosedOpacityDefault));
  } else {
    RECT corner = hiddenAt(0, 0);
    EXPECT_TRUE(hides(main, &corner));
  }
  EXPECT_EQ(0u, m_app->end());
}

INSTANTIATE_TEST_SUITE_P(NonCaptionShow, NonCaptionE2e, ::testing::Values(0, 1));

// ---------------------------------------------------------------------------
// A real application that no one here wrote

TEST_F(IndicatorE2e, WinesNotepadInFrontGetsTheIndicatorOverItsCaptionStrip) {
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  CorvelaProcess notepad;
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_TRUE(notepad.start(L"", dir(), joinPath(system, L"notepad.exe")));
  HWND pad = waitForTopLevel(notepad.pid(), L"Notepad", nullptr, kDefaultTimeoutMs, true);
  ASSERT_NE(nullptr, pad) << "notepad did not come up";
  SetForegroundWindow(pad);
  ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == pad; }));
  EXPECT_TRUE(showsOver(main, captionStrip(pad), kClosedOpacityDefault));
  EXPECT_EQ(main, GetWindow(pad, GW_HWNDPREV));
  notepad.kill();
  EXPECT_EQ(0u, m_app->end());
}

// ---------------------------------------------------------------------------
// Fixed mode, blinking and the settings-dialog hand-over

TEST_F(IndicatorE2e, FixedModeStandsAtItsRectangleTopmost) {
  const RECT pos = {300, 10, 450, 60};
  prepareSettings([&](std::string& xml) {
    setInt(xml, "dMode", 1);
    ASSERT_TRUE(setRectElement(xml, "dModePos", pos));
  });
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  bringToFront(target);
  ASSERT_TRUE(showsOver(main, pos, kClosedOpacityDefault));
  IndicatorState s = readIndicator(main);
  EXPECT_TRUE(s.exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(s.visible);
  EXPECT_EQ(kIndicatorKey, s.key);
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(IndicatorE2e, BlinkingAlternatesTheFullAndTheDimOpacity) {
  prepareSettings([&](std::string& xml) {
    setInt(xml, "blink", 1);
    setInt(xml, "blinkSpeed", 300);
  });
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  bringToFront(target);
  RECT strip = captionStrip(target.hwnd());
  ASSERT_TRUE(showsOver(main, strip, kClosedOpacityDefault));
  // alphaOff 60 gives 153, its dim level 40 gives 102; nothing else shows over the strip.
  bool sawFull = false, sawDim = false;
  BYTE other = 0;
  EXPECT_TRUE(waitUntil([&] {
    IndicatorState st = readIndicator(main);
    if (st.at(strip)) {
      if (st.alpha == 153)
        sawFull = true;
      else if (st.alpha == 102)
        sawDim = true;
      else
        other = st.alpha;
    }
    return sawFull && sawDim;
  })) << "full "
      << sawFull << ", dim " << sawDim;
  EXPECT_EQ(0, other);
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(IndicatorE2e, SettingsCommandHidesTheIndicatorUntilTheDialogIsCancelled) {
  HWND main = startIndicator();
  ASSERT_NE(nullptr, main);
  TargetWindow target(L"Corvela target", kTargetRect);
  bringToFront(target);
  RECT strip = captionStrip(target.hwnd());
  ASSERT_TRUE(showsOver(main, strip, kClosedOpacityDefault));

  ASSERT_TRUE(PostMessageW(main, WM_COMMAND, kCmdSettings, 0));
  HWND dialog = waitForTopLevel(m_app->pid(), kDialogClass, nullptr, kDefaultTimeoutMs, true);
  ASSERT_NE(nullptr, dialog) << "no settings dialog";
  // While the dialog state holds the indicator is hidden, for every window in front:
  // the redraw request behind the activation draws for the target and must hide.
  bringToFront(target);
  ASSERT_TRUE(m_app->drain());
  IndicatorState st = readIndicator(main);
  EXPECT_FALSE(st.visible && !st.hidden()) << describe(st);

  ASSERT_TRUE(pressButton(dialog, IDCANCEL));
  ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog) || !IsWindow(dialog); }));
  EXPECT_TRUE(showsOver(main, strip, kClosedOpacityDefault));
  EXPECT_EQ(target.hwnd(), GetForegroundWindow());
  EXPECT_EQ(0u, m_app->end());
}

// ---------------------------------------------------------------------------
// The hover countdown and the movable fixed mode

class MovableE2e : public IndicatorE2e {
 protected:
  static constexpr RECT kPos = {300, 10, 450, 60};

  // Starts Corvela fixed at kPos with a target window in front, and waits until the
  // indicator stands there; null when it does not.
  HWND startFixed(int transTimerCnt) {
    prepareSettings([&](std::string& xml) {
      setInt(xml, "dMode", 1);
      setInt(xml, "transTimerCnt", transTimerCnt);
      EXPECT_TRUE(setRectElement(xml, "dModePos", kPos));
    });
    HWND main = startIndicator();
    if (main == nullptr) return nullptr;
    m_target.reset(new TargetWindow(L"Corvela target", kTargetRect));
    bringToFront(*m_target);
    EXPECT_TRUE(showsOver(main, kPos, kClosedOpacityDefault));
    return main;
  }

  // Puts the cursor on the fixed indicator and waits until it turns movable.
  ::testing::AssertionResult turnsMovable(HWND main) {
    if (!SetCursorPos(375, 35)) return ::testing::AssertionFailure() << "SetCursorPos";
    IndicatorState s;
    if (waitIndicator(main, movable, &s, 8000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not movable: " << describe(s);
  }

  std::unique_ptr<TargetWindow> m_target;

  static bool movable(const IndicatorState& s) {
    return (s.style & WS_THICKFRAME) && !(s.exStyle & WS_EX_LAYERED) && s.visible;
  }
};

constexpr RECT MovableE2e::kPos;

TEST_F(MovableE2e, HoverShowsTheCountdownTipThenTheBorderedMovableWindow) {
  HWND main = startFixed(3);
  ASSERT_NE(nullptr, main);

  const POINT cursor = {375, 35};
  ASSERT_TRUE(SetCursorPos(cursor.x, cursor.y));
  HWND tip = nullptr;
  ASSERT_TRUE(waitUntil(
      [&] {
        tip = findTopLevel(m_app->pid(), kToolTipClass, nullptr, true);
        return tip != nullptr;
      },
      5000))
      << "no countdown tooltip";
  RECT tr = {0, 0, 0, 0};
  GetWindowRect(tip, &tr);
  EXPECT_EQ(cursor.x + 10, tr.left);
  EXPECT_EQ(cursor.y, tr.top);
  EXPECT_EQ(20, tr.right - tr.left);
  EXPECT_EQ(20, tr.bottom - tr.top);

  IndicatorState s;
  ASSERT_TRUE(waitIndicator(main, movable, &s, 8000)) << describe(s);
  EXPECT_TRUE(s.at(kPos)) << describe(s);
  EXPECT_FALSE(s.exStyle & WS_EX_TRANSPARENT);
  EXPECT_FALSE(IsWindowVisible(tip)) << "the tip stays after the countdown";
  EXPECT_EQ(0u, m_app->end());
}

// The cursor stays on the window while it is dragged half over the top edge of the
// screen, moves on it once more and leaves: every step waits for the state it needs,
// so the leave is seen however late the program handles the mouse moves.
TEST_F(MovableE2e, LeavingTheMovedWindowStoresTheClampedRectangle) {
  HWND main = startFixed(0);  // movable as soon as the watch finds the cursor over it
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(turnsMovable(main));

  const int w = kPos.right - kPos.left, h = kPos.bottom - kPos.top;
  const RECT dragged = {kPos.left, -10, kPos.right, h - 10};  // still under the cursor
  // The window system's answer to the style switch can still reach Wine after the
  // move and put the window back where it was: move it until it stays moved.
  ASSERT_TRUE(waitUntil([&] {
    SetWindowPos(main, NULL, dragged.left, dragged.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r = {0, 0, 0, 0};
    return m_app->drain() && GetWindowRect(main, &r) && EqualRect(&r, &dragged);
  }));
  ASSERT_TRUE(SetCursorPos(380, 30));  // the last move over the window
  SetCursorPos(900, 900);

  const RECT want = {kPos.left, 0, kPos.right, h};  // moved down by the overshoot
  std::string xml;
  EXPECT_TRUE(waitUntil(
      [&] {
        xml = readFile(file(L"Corvela.xml"));
        RECT r = rectElement(xml, "dModePos");
        return EqualRect(&r, &want) != FALSE;
      },
      8000))
      << "stored " << describe(rectElement(xml, "dModePos"));
  // Click-through again, at the stored rectangle.
  EXPECT_TRUE(showsOver(main, want, kClosedOpacityDefault));
  EXPECT_TRUE(readIndicator(main).exStyle & WS_EX_TRANSPARENT);
  EXPECT_EQ(0u, m_app->end());
}

// A mouse move that the program handles only after the cursor has left the window must
// still end the move (Windows reports such a leave at once; Wine never does).
TEST_F(MovableE2e, MoveHandledAfterTheCursorLeftStillEndsTheMove) {
  HWND main = startFixed(0);
  ASSERT_NE(nullptr, main);
  const std::string stored = readFile(file(L"Corvela.xml"));
  ASSERT_TRUE(turnsMovable(main));

  SetCursorPos(900, 900);
  ASSERT_TRUE(PostMessageW(main, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(375, 35)));
  EXPECT_TRUE(showsOver(main, kPos, kClosedOpacityDefault));
  EXPECT_TRUE(readIndicator(main).exStyle & WS_EX_TRANSPARENT);
  // Left where it stood: nothing to store.
  ASSERT_TRUE(m_app->drain());
  EXPECT_EQ(stored, readFile(file(L"Corvela.xml")));
  EXPECT_EQ(0u, m_app->end());
}

// ---------------------------------------------------------------------------
// Hand-edited values the settings file accepts: the indicator still shows, the
// value is held where it is used with one log line, and the file keeps what it holds.

class HeldValuesE2e : public IndicatorE2e {
 protected:
  // Starts on the edited file; the indicator must mark the target (or stand at
  // `fixedAt`), `logged` appear once in the log, and the file stay as it was.
  void showsDespite(const std::function<void(std::string&)>& edit, const wchar_t* logged,
                    const RECT* fixedAt = nullptr) {
    prepareSettings(edit);
    const std::string before = readFile(file(L"Corvela.xml"));
    HWND main = startIndicator();
    ASSERT_NE(nullptr, main);
    TargetWindow target(L"Corvela target", kTargetRect);
    if (fixedAt != nullptr) {
      bringToFront(target);
      EXPECT_TRUE(showsOver(main, *fixedAt, kClosedOpacityDefault));
    } else {
      ASSERT_TRUE(marks(main, target));
      // the polling runs: the indicator follows a move
      SetWindowPos(target.hwnd(), NULL, 200, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      EXPECT_TRUE(showsOver(main, captionStrip(target.hwnd()), kClosedOpacityDefault));
    }
    EXPECT_EQ(0u, m_app->end());
    const std::wstring log = readLog(dir());
    if (logged != nullptr) {
      EXPECT_EQ(1u, countOf(log, logged)) << narrow(log);
    }
    EXPECT_EQ(0u, countOf(log, L"EXCEPTION")) << narrow(log);
    EXPECT_TRUE(before == readFile(file(L"Corvela.xml"))) << "the file keeps what it holds";
  }
};

TEST_F(HeldValuesE2e, LoopIntervalZeroStillPolls) {
  showsDespite([&](std::string& xml) { setInt(xml, "loopInterval", 0); }, nullptr);
}

TEST_F(HeldValuesE2e, LoopIntervalMinusOneStillPolls) {
  showsDespite([&](std::string& xml) { ASSERT_TRUE(setElement(xml, "loopInterval", "-1")); },
               nullptr);
}

TEST_F(HeldValuesE2e, FaceThatIsNotInstalledFallsBackToTheDefaultFace) {
  showsDespite(
      [&](std::string& xml) { ASSERT_TRUE(setElement(xml, "lfFaceName", "Corvela No Such Face")); },
      L"CreateFontFromLOGFONT() : ");
}

TEST_F(HeldValuesE2e, HeightZeroIsTheDefaultHeight) {
  showsDespite([&](std::string& xml) { setInt(xml, "lfHeight", 0); }, L"lfHeight 0 : used as ");
}

TEST_F(HeldValuesE2e, InvertedFixedRectangleStandsNormalised) {
  const RECT stored = {400, 300, 250, 250};
  const RECT used = {250, 250, 400, 300};
  showsDespite(
      [&](std::string& xml) {
        setInt(xml, "dMode", 1);
        ASSERT_TRUE(setRectElement(xml, "dModePos", stored));
      },
      L"dModePos {400,300,250,250} : used as {250,250,400,300}", &used);
}

}  // namespace
