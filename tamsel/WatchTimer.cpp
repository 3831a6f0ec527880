// Timers of the watcher, blinking, settings take-over, the settings-dialog
// hand-over and the movable fixed mode.
#include <windows.h>

#include <string>

#include "Dbg.h"
#include "MyDialogBox.h"
#include "MySerialize.h"
#include "MyToolTip.h"
#include "Watch.h"
#include "WatchLogic.h"
#include "tamsel.h"

static const UINT TRANS_WAIT_PERIOD = 500;
static const UINT TRANS_WATCH_PERIOD = 1000;

// ---------------------------------------------------------------------------
// Timers

void Watch::timerStartBlink() {
  DBG_LOG(LOG_INFO, L"timerStartBlink() : Speed:%d", (int)m_blinkSpeed);
  m_blinkTimer = SetTimer(m_hWnd, TIMER_BLINK, m_blinkSpeed, NULL);
  if (m_blinkTimer == 0) DBG_LOG(LOG_ERROR, L"timerStartBlink()");
}

void Watch::timerStartTransWatch() {
  m_transWatchTimer = SetTimer(m_hWnd, TIMER_TRANS_WATCH, TRANS_WATCH_PERIOD, NULL);
  if (m_transWatchTimer == 0) DBG_LOG(LOG_ERROR, L"SetTimer() : timerStartTransWatch");
}

void Watch::timerStartLoopWatch() {
  // The period is read at every re-arm, so a new loopInterval applies from the next tick.
  // It is held within 10 to 1000 ms here: a hand-edited 0 or 1 would burn a core, a
  // negative or huge one would stop the watching; the settings keep what they hold.
  if (SetTimer(m_hWnd, TIMER_LOOP_WATCH, loopIntervalOf(m_loopInterval), NULL) == 0) {
    DBG_LOG(LOG_ERROR, L"SetTimer() : timerStartLoopWatch");
  }
}

void Watch::onTimer(UINT_PTR id) {
  switch (id) {
    case TIMER_LOOP_WATCH:
      loopWatchTick([this] { onLoopWatch(); });
      break;
    case TIMER_BLINK:
      blinkStep();
      break;
    case TIMER_TRANS_WATCH:
      KillTimer(m_hWnd, m_transWatchTimer);
      m_transWatchTimer = 0;
      if (onTransWatch() == 0) timerStartTransWatch();
      break;
    case TIMER_TRANS_WAIT:
      onTransWaitTick();
      break;
    default:
      break;
  }
}

// A tick that throws must not end the polling for good.
void Watch::loopWatchTick(const std::function<void()>& body) {
  KillTimer(m_hWnd, TIMER_LOOP_WATCH);
  runGuarded(L"onLoopWatch()", __LINE__, body);
  timerStartLoopWatch();
}

// ---------------------------------------------------------------------------
// Blinking

void Watch::blinkStep() {
  if (m_transparent != 1) return;
  BYTE full = opacityByte(m_imeOpen ? m_alphaOn : m_alphaOff);
  BYTE dim = opacityByte(m_imeOpen ? m_dimOn : m_dimOff);
  BYTE opacity = blinkOpacity(m_blink, m_blinkCount, full, dim, 1);
  if (m_blink) m_blinkCount = nextBlinkCount(m_blinkCount);
  if (!m_show) opacity = 0;

  setBlinkOpacity(opacity, isCompositionEnabled() != FALSE);
}

void Watch::setBlinkOpacity(BYTE opacity, bool composited) {
  // Only the constant opacity changes; the picture stays as the last draw left it.
  if (composited) {
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
    if (!UpdateLayeredWindow(m_hWnd, NULL, NULL, NULL, NULL, NULL, INDICATOR_KEY, &blend,
                             ULW_COLORKEY | ULW_ALPHA)) {
      DBG_LOG(LOG_ERROR, L"UpdateLayeredWindow() : false in timeout");
    }
  } else if (!SetLayeredWindowAttributes(m_hWnd, INDICATOR_KEY, opacity,
                                         LWA_COLORKEY | LWA_ALPHA)) {
    DBG_LOG(LOG_ERROR, L"SetLayeredWindowAttributes(LWA_ALPHA)");
  }
}

// ---------------------------------------------------------------------------
// Settings

void Watch::update(const CMySerialize* settings) {
  m_alphaOff = settings->alphaOff;
  m_alphaOn = settings->alphaOn;
  m_blink = settings->blink;
  m_blinkSpeed = (unsigned)settings->blinkSpeed;
  m_dMode = static_cast<DISP_MODE>(settings->dMode);
  m_dModePos = settings->dModePos;
  m_dimOff = dimLevel(m_alphaOff);
  m_dimOn = dimLevel(m_alphaOn);
  m_loopInterval = settings->loopInterval;
  m_transTimerCnt = settings->transTimerCnt;
  m_nonCaptionShow = settings->nonCaptionShow;
}

void Watch::onUpdate(const CMySerialize* settings) {
  DISP_MODE oldMode = m_dMode;
  bool oldBlink = m_blink != 0;
  unsigned oldSpeed = m_blinkSpeed;
  update(settings);
  if (m_dMode != DISP_FIXED) endMovable();

  boost::shared_array<wchar_t> exe = getExeName(m_hTarget);
  boost::shared_array<wchar_t> cls = getClassName(m_hTarget);
  DBG_LOG(LOG_INFO, L"onUpdate() : %s : %s", exe ? exe.get() : L"", cls ? cls.get() : L"");
  detectTarget(m_hTarget);

  TimerPlan plan =
      planTimerChanges(oldMode, m_dMode, oldBlink, m_blink != 0, oldSpeed, m_blinkSpeed);
  if (plan.startTransWatch) timerStartTransWatch();
  if (plan.killBlink && m_blinkTimer != 0) {
    KillTimer(m_hWnd, m_blinkTimer);
    m_blinkTimer = 0;
  }
  if (plan.startBlink) timerStartBlink();
}

// ---------------------------------------------------------------------------
// The settings dialog

void Watch::beginSettingDialog() {
  DBG_LOG(LOG_INFO, L"設定ダイアログ開始");
  m_dialog = 1;
  setTopmost(0);
  if (g_pDialogBox) g_pDialogBox->open(g_hInst, m_hWnd, g_pSettings.get(), postSettingChange);
}

void Watch::endSettingDialog() {
  m_dialog = 0;
  setTopmost(1);
  if (IsWindow(m_hTarget) && !SetForegroundWindow(m_hTarget)) {
    DBG_LOG(LOG_ERROR, L"SetForegroundWindow(FALSE)");
  }
  DBG_LOG(LOG_INFO, L"設定ダイアログ終了");
}

void Watch::setForeWin(HWND hwnd) {
  if (IsWindow(hwnd) && !SetForegroundWindow(hwnd)) {
    DBG_LOG(LOG_ERROR, L"setForeWin() : SetForegroundWindow(%x)", (unsigned)GetLastError());
  }
}

// ---------------------------------------------------------------------------
// The movable fixed mode

// What the hover decisions look at, read once per tick.
HoverInput Watch::readHoverInput() {
  HoverInput in;
  in.fixed = m_dMode == DISP_FIXED;
  in.transparent = m_transparent == 1;
  in.waiting = m_transWaitTimer != 0;
  // The key as the user presses it: the indicator's thread never has the keyboard
  // focus, so its own key state (GetKeyState) does not see Shift.
  in.shift = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  in.count = m_transTimerCnt;
  in.cursorOver = isHovered();
  return in;
}

// Shows the countdown next to the cursor while the tool is active.
void Watch::showCountdown(int waited) {
  MyToolTip* tip = m_pToolTip.get();
  if (tip == NULL || tip->m_state != 2) return;
  std::wstring text = countdownText(m_transTimerCnt, waited);
  tip->setText(text.c_str());
}

// Ends a running hover wait: its timer and the tooltip.
void Watch::stopTransWait() {
  if (m_transWaitTimer != 0) KillTimer(m_hWnd, m_transWaitTimer);
  m_transWaitTimer = 0;
  if (m_pToolTip) m_pToolTip->delTool();
}

void Watch::armTransWait() {
  m_transWaitTimer = SetTimer(m_hWnd, TIMER_TRANS_WAIT, TRANS_WAIT_PERIOD, NULL);
  if (m_transWaitTimer == 0) DBG_LOG(LOG_ERROR, L"SetTimer() : TRANS WAIT");
}

int Watch::onTransWatch() {
  switch (decideTransWatch(readHoverInput())) {
    case TRANS_WATCH_WAITING:
      return 1;
    case TRANS_WATCH_MOVABLE:
      return transparentOff();
    case TRANS_WATCH_START_WAIT:
      DBG_LOG(LOG_INFO, L"TRANS WAIT START.");
      if (m_pToolTip) m_pToolTip->addTool();
      showCountdown(0);
      m_transWaitCount = 0;
      armTransWait();
      return 1;
    case TRANS_WATCH_IDLE:
    default:
      return 0;
  }
}

void Watch::onTransWaitTick() {
  HoverInput in = readHoverInput();
  switch (decideTransWait(in, m_transWaitCount)) {
    case TRANS_WAIT_UP:
      DBG_LOG(LOG_INFO, L"TRANS WAIT UP.");
      m_transWaitCount = 0;
      stopTransWait();
      if (transparentOff() == 0) timerStartTransWatch();
      break;
    case TRANS_WAIT_SHIFT:
      if (transparentOff()) {
        stopTransWait();
      } else {  // the cursor slipped away between the two looks
        stopTransWait();
        timerStartTransWatch();
      }
      break;
    case TRANS_WAIT_COUNT:
      m_transWaitCount += 1;
      showCountdown(m_transWaitCount);
      armTransWait();
      break;
    case TRANS_WAIT_LEFT:
      stopTransWait();
      timerStartTransWatch();
      break;
    case TRANS_WAIT_ABANDON:
    default:
      // Float mode or the movable window: a wait has nothing left to count, and
      // a timer left running here would tick on for ever with the tooltip shown.
      m_transWaitCount = 0;
      stopTransWait();
      break;
  }
}

// While the settings dialog is open the indicator is hidden, though its window still
// stands at the corner of the fixed rectangle: a cursor resting there does not hover it.
bool Watch::isHovered() { return !m_dialog && isCursorOver() != 0; }

int Watch::transparentOff() {
  if (m_dMode != DISP_FIXED || m_transparent != 1 || !isHovered()) return 0;
  DBG_LOG(LOG_INFO, L"TRANSPEARENT OFF.");
  m_transparent = 0;
  switchStyle(0);
  return 1;
}

int Watch::isCursorOver() {
  POINT pt;
  if (!GetCursorPos(&pt)) {
    DBG_LOG(LOG_WARN, L"GetCursorPos() : ");
    return 0;
  }
  RECT r;
  if (!GetWindowRect(m_hWnd, &r)) {
    DBG_LOG(LOG_ERROR, L"GetWindowRect() : ");
    return 0;
  }
  return pointInHalfOpen(r, pt) ? 1 : 0;
}

int Watch::switchStyle(int restore) {
  forgetFrame();  // the layered picture goes with the style
  LONG_PTR exStyle = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
  if (exStyle == 0) {
    DBG_LOG(LOG_ERROR, L"GetWindowLongPtr() : ");
    return 0;
  }
  LONG_PTR newEx;
  if (restore) {
    newEx = m_savedExStyle;
  } else {
    m_savedExStyle = exStyle;
    newEx =
        exStyle & ~(LONG_PTR)(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST);
  }
  if (SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, newEx) == 0) {
    DBG_LOG(LOG_ERROR, L"SetWindowLongPtr() : 0x%0.8x : 0x%0.8x", 0u, (unsigned)exStyle);
    return 0;
  }

  LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  if (style == 0) {
    DBG_LOG(LOG_ERROR, L"GetWindowLongPtr(GWL_STYLE) : ");
    return 0;
  }
  LONG_PTR newStyle;
  if (restore) {
    newStyle = m_savedStyle;
  } else {
    m_savedStyle = style;
    newStyle = style | WS_BORDER | WS_THICKFRAME;
  }
  if (SetWindowLongPtrW(m_hWnd, GWL_STYLE, newStyle) == 0) {
    DBG_LOG(LOG_ERROR, L"SetWindowLongPtr(GWL_STYLE) : 0x%0.16llx : 0x%0.16llx", 0ull,
            (unsigned long long)style);
    return 0;
  }

  if (restore) {
    m_swpExtra = SWP_FRAMECHANGED;
    detectTarget(m_hTarget);
    m_swpExtra = 0;
    return 1;
  }
  const RECT r = usableFixedRect();
  if (!SetWindowPos(m_hWnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    SWP_FRAMECHANGED | SWP_SHOWWINDOW)) {
    DBG_LOG(LOG_ERROR, L"SetWindowPos() : ");
    return 0;
  }
  ShowWindow(m_hWnd, SW_SHOW);
  UpdateWindow(m_hWnd);
  return 1;
}

void Watch::onMouseLeave() {
  if (m_dMode != DISP_FIXED || m_transparent != 0 || isCursorOver()) return;
  DBG_LOG(LOG_INFO, L"onMouseLeave() : TRANSPEARENT ON.");
  m_transparent = 1;

  RECT r;
  if (!GetWindowRect(m_hWnd, &r)) {
    DBG_LOG(LOG_ERROR, L"GetWindowRect() : ");
  } else {
    clampToScreen(&r);
    if (!EqualRect(&r, &m_dModePos)) {
      m_dModePos = r;
      PostMessageW(g_hMainWnd, WM_MY_SAVE_POSCHANGE, 0, 0);
    }
  }

  ShowWindow(m_hWnd, SW_HIDE);
  UpdateWindow(m_hWnd);
  switchStyle(1);

  boost::shared_array<wchar_t> cls = getClassName(m_hTarget);
  boost::shared_array<wchar_t> exe = getExeName(m_hTarget);
  DBG_LOG(LOG_INFO, L"onMouseLeave() : TargetWindow:[%s][%s]", cls ? cls.get() : L"",
          exe ? exe.get() : L"");
  timerStartTransWatch();
}

// Settings that leave the fixed mode end a movable indicator: nothing else would make it
// click-through again, and the loop watch skips every window while it is movable. Its
// rectangle is not stored; the fixed mode is left.
void Watch::endMovable() {
  if (m_transparent != 0) return;
  DBG_LOG(LOG_INFO, L"onUpdate() : TRANSPEARENT ON.");
  m_transparent = 1;
  ShowWindow(m_hWnd, SW_HIDE);
  UpdateWindow(m_hWnd);
  switchStyle(1);
}

void Watch::clampToScreen(RECT* rect) {
  *rect = clampRectToScreen(*rect, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}
