// The watcher's decisions without a desktop (see WatchLogic.h).
#include "WatchLogic.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <locale>

CaptionMetrics currentCaptionMetrics() {
  CaptionMetrics m;
  m.cxEdge = GetSystemMetrics(SM_CXEDGE);
  m.cyEdge = GetSystemMetrics(SM_CYEDGE);
  m.cxBorder = GetSystemMetrics(SM_CXBORDER);
  m.cyFrame = GetSystemMetrics(SM_CYFRAME);
  m.cyCaption = GetSystemMetrics(SM_CYCAPTION);
  m.cxSmSize = GetSystemMetrics(SM_CXSMSIZE);
  m.cxMaximized = GetSystemMetrics(SM_CXMAXIMIZED);
  m.cyMaximized = GetSystemMetrics(SM_CYMAXIMIZED);
  return m;
}

ScreenGeometry fixedGeometry(const RECT& dModePos) {
  return ScreenGeometry{SCREEN_NORMAL, dModePos, (int)(dModePos.bottom - dModePos.top), false};
}

ScreenGeometry maximizedGeometry(const RECT& windowRect, const CaptionMetrics& m) {
  RECT r = windowRect;
  r.left += m.cxEdge;
  r.top += m.cyEdge;
  return ScreenGeometry{SCREEN_MAXIMIZED, r, m.cyFrame + m.cyCaption, false};
}

ScreenGeometry minimizedGeometry() {
  return ScreenGeometry{SCREEN_MINIMIZED, {0, 0, 0, 0}, 0, false};
}

ScreenGeometry normalGeometry(const RECT& windowRect, const CaptionMetrics& m) {
  return ScreenGeometry{SCREEN_NORMAL, windowRect, m.cyEdge + m.cyCaption, true};
}

bool looksMaximizing(const RECT& windowRect, const CaptionMetrics& m) {
  return windowRect.bottom - windowRect.top >= m.cyMaximized &&
         windowRect.right - windowRect.left >= m.cxMaximized;
}

Placement placementOf(const RECT& rect, int captionHeight, bool show) {
  Placement p;
  p.pos = POINT{rect.left, rect.top};
  if (!show) {
    p.size = SIZE{HIDDEN_SIZE, HIDDEN_SIZE};
  } else {
    p.size = SIZE{rect.right - rect.left, captionHeight};
  }
  return p;
}

int buttonWidthOf(const RECT& minimize, const RECT& maximize, const RECT& close,
                  const CaptionMetrics& m) {
  int w = (minimize.right - minimize.left) + (maximize.right - maximize.left) +
          (close.right - close.left);
  bool none = minimize.right == minimize.left && maximize.right == maximize.left &&
              close.right == close.left;
  if (none) w = 3 * m.cxSmSize;
  return w + m.cxEdge + m.cxBorder;
}

int buttonWidthOf(const TITLEBARINFOEX& info, const CaptionMetrics& m) {
  return buttonWidthOf(info.rgrect[2], info.rgrect[3], info.rgrect[5], m);
}

BYTE opacityByte(int percent) {
  if (percent <= 0) return 0;
  if (percent >= 100) return 255;
  return (BYTE)(percent * 255 / 100);
}

BYTE drawOpacity(bool show, bool transparent, bool imeOpen, int alphaOn, int alphaOff) {
  if (!show) return 0;
  if (!transparent) return 255;
  return opacityByte(imeOpen ? alphaOn : alphaOff);
}

int dimLevel(int alpha) { return alpha > 20 ? alpha - 20 : 0; }

BYTE blinkOpacity(bool blink, int count, BYTE full, BYTE dim, bool show) {
  if (!show) return 0;
  if (!blink) return full;
  return (count % 2) ? full : dim;
}

int nextBlinkCount(int count) { return count > 1000 ? 0 : count + 1; }

ZORDER_KIND chooseZOrder(DISP_MODE dMode, bool show, HWND prev, HWND indicator, bool prevCanOpen) {
  if (dMode == DISP_FIXED) return show ? ZORDER_TOPMOST : ZORDER_TOP;
  if (!show) return ZORDER_TOP;
  if (prev == NULL) return ZORDER_TOPMOST;
  if (prev == indicator) return ZORDER_UNCHANGED;
  return prevCanOpen ? ZORDER_AFTER_PREV : ZORDER_TOPMOST;
}

bool shouldWarnNoAdmin(HWND prev, HWND lastWarned, bool isAdmin) {
  return prev != lastWarned && !isAdmin;
}

HWND insertAfterOf(ZORDER_KIND kind, HWND prev) {
  switch (kind) {
    case ZORDER_TOPMOST:
      return HWND_TOPMOST;
    case ZORDER_AFTER_PREV:
      return prev;
    case ZORDER_TOP:
    case ZORDER_UNCHANGED:
    default:
      return HWND_TOP;
  }
}

UINT zOrderFlagsOf(ZORDER_KIND kind) {
  UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW;
  if (kind == ZORDER_UNCHANGED) flags |= SWP_NOZORDER;
  return flags;
}

bool shouldEraseBackgroundFor(LONG_PTR exStyle) { return (exStyle & WS_EX_LAYERED) == 0; }

TimerPlan planTimerChanges(DISP_MODE oldMode, DISP_MODE newMode, bool oldBlink, bool newBlink,
                           unsigned oldSpeed, unsigned newSpeed) {
  TimerPlan plan{false, false, false};
  plan.startTransWatch = oldMode == DISP_FLOAT && newMode == DISP_FIXED;
  bool wasOn = oldBlink;
  bool isOn = newBlink;
  if (!wasOn && isOn) {
    plan.startBlink = true;
  } else if (wasOn && !isOn) {
    plan.killBlink = true;
  } else if (wasOn && isOn && oldSpeed != newSpeed) {
    plan.killBlink = true;
    plan.startBlink = true;
  }
  return plan;
}

// One axis of clampRectToScreen.
static void clampSpan(LONG* lo, LONG* hi, LONG limit) {
  LONG overLo = 0;
  LONG overHi = 0;
  if (*lo < 0) {
    overLo = -*lo;
    *lo = 0;
  }
  if (*hi > limit) {
    overHi = *hi - limit;
    *hi = limit;
  }
  if (overLo && overHi) {
    *lo = 0;
    *hi = limit;
  } else if (overLo) {
    *hi = (limit - *hi > overLo) ? *hi + overLo : limit;
  } else if (overHi) {
    if (*lo > overHi) *lo -= overHi;
  }
}

RECT clampRectToScreen(RECT rect, int screenWidth, int screenHeight) {
  clampSpan(&rect.left, &rect.right, screenWidth);
  clampSpan(&rect.top, &rect.bottom, screenHeight);
  return rect;
}

bool canTurnMovable(const HoverInput& in) { return in.fixed && in.transparent && in.cursorOver; }

TRANS_WATCH_ACTION decideTransWatch(const HoverInput& in) {
  if (!in.fixed) return TRANS_WATCH_IDLE;
  if (in.waiting) return TRANS_WATCH_WAITING;
  if (in.shift && canTurnMovable(in)) return TRANS_WATCH_MOVABLE;
  if (in.count == -1) return TRANS_WATCH_IDLE;
  if (in.count == 0 && canTurnMovable(in)) return TRANS_WATCH_MOVABLE;
  if (!in.cursorOver) return TRANS_WATCH_IDLE;
  return TRANS_WATCH_START_WAIT;
}

TRANS_WAIT_ACTION decideTransWait(const HoverInput& in, int waitCount) {
  if (waitCount >= in.count) return TRANS_WAIT_UP;
  if (in.shift && canTurnMovable(in)) return TRANS_WAIT_SHIFT;
  if (in.fixed && in.transparent) {
    return in.cursorOver ? TRANS_WAIT_COUNT : TRANS_WAIT_LEFT;
  }
  return TRANS_WAIT_ABANDON;
}

std::wstring countdownText(int count, int waited) { return std::to_wstring(count - waited); }

bool pointInHalfOpen(const RECT& rect, POINT pt) {
  return rect.left <= pt.x && pt.x < rect.right && rect.top <= pt.y && pt.y < rect.bottom;
}

bool pointInClosed(const RECT& rect, POINT pt) {
  return rect.left <= pt.x && pt.x <= rect.right && rect.top <= pt.y && pt.y <= rect.bottom;
}

POINT toolTipPosition(POINT cursor) { return POINT{cursor.x + 10, cursor.y}; }

TextOrigin toolTipTextOrigin(LONG_PTR style, int windowWidth, int cxBorder, int cyBorder) {
  if (style & 0x1) return TextOrigin{TEXT_ALIGN_CENTER, windowWidth / 2 - cxBorder, cyBorder};
  if (style & 0x2) return TextOrigin{TEXT_ALIGN_RIGHT, 20, cyBorder};
  return TextOrigin{TEXT_ALIGN_LEFT, 0, cyBorder};
}

// ---------------------------------------------------------------------------
// Target selection

namespace {

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool isZeroRect(const RECT& r) {
  return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

}  // namespace

int targetFilterRule(const TargetFilterQuestions& q) {
  if (q.state != 2 || q.transparent == 0) return 1;
  if (q.isOwnExe()) return 2;
  if (q.isIndicator()) return 3;
  if (q.dialog && q.isDialog()) return 4;
  if (q.dialog && q.isTabPage()) return 5;
  if (q.isToolTip()) return 6;
  if (q.isFullScreen() && (q.style() & WS_CAPTION) == 0 && q.nonCaptionShow == 0) return 7;
  if (q.dMode == DISP_FLOAT && (q.style() & WS_POPUP) != 0 && q.titleLength() == 0) return 8;
  if (q.targetAlive() || q.isAppWindow()) return 9;
  return 10;
}

int MoveTracker::look(HWND h, const RECT& now) {
  if (h != wnd) {
    wnd = h;
    rect = now;
    return 0;
  }
  if (isZeroRect(rect)) {
    rect = now;
    return 0;
  }
  if (sameRect(now, rect)) return 0;
  rect = now;
  return 1;
}

std::wstring ownExeNameOf(const wchar_t* windowClass) {
  return std::wstring(windowClass) + L".EXE";
}

bool isOwnExeName(const wchar_t* exeName, const std::wstring& ownExeName) {
  std::wstring upper = boost::algorithm::to_upper_copy(std::wstring(exeName), std::locale());
  return upper == ownExeName;
}
