// Placement of the indicator over its target and the update of its layered window.
#include <windows.h>

#include <dwmapi.h>
#include <shlobj.h>

#include <memory>

#include "CMyException.h"
#include "C_HBITMAP.h"
#include "C_HDC.h"
#include "C_HDCCompat.h"
#include "Dbg.h"
#include "MyApp.h"
#include "PlatformDefs.h"
#include "Watch.h"
#include "UniqueAny.h"
#include "WatchLogic.h"
#include "tamsel.h"

static const wchar_t ADMIN_LABEL[] = L"管理者";

HWND g_hNoAdminWarned = NULL;

// Whether the visual style has an active-caption picture, asked once per theme handle.
struct CaptionThemeProbe {
  HTHEME asked = NULL;
  bool hasCaption = false;
};
static CaptionThemeProbe s_captionTheme;

// The theme handed to the renderer. A visual style without an active-caption picture
// (or a uxtheme without GetThemeBitmap) would make every frame over a normal window
// fail, and the indicator would never appear; such a theme goes to the renderer as
// no theme, which draws its built-in caption instead.
static HTHEME captionThemeOf(HTHEME theme) {
  if (theme == NULL) return NULL;
  if (theme != s_captionTheme.asked) {
    s_captionTheme.asked = theme;
    try {
      C_HBITMAP probe(theme);
      s_captionTheme.hasCaption = true;
    } catch (CMyException* e) {
      s_captionTheme.hasCaption = false;
      DBG_LOG(LOG_WARN, L"GetThemeBitmap() : no caption picture : 0x%0.8x", e->m_code);
      delete e;
    }
  }
  return s_captionTheme.hasCaption ? theme : NULL;
}

static BLENDFUNCTION blendOf(BYTE opacity) {
  BLENDFUNCTION blend;
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = opacity;
  blend.AlphaFormat = AC_SRC_ALPHA;
  return blend;
}

bool Watch::pushComposited(HDC memDC, POINT pos, SIZE size, BYTE opacity) {
  BLENDFUNCTION blend = blendOf(opacity);
  POINT src = {0, 0};
  if (UpdateLayeredWindow(m_hWnd, NULL, &pos, &size, memDC, &src, INDICATOR_KEY, &blend,
                          ULW_COLORKEY | ULW_ALPHA)) {
    return true;
  }
  DWORD err = GetLastError();
  if (err == ERROR_MR_MID_NOT_FOUND) return false;  // not logged, but not pushed either
  if (!m_drawFailure.failed(L"UpdateLayeredWindow() " + std::to_wstring(err))) return false;
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, err, 0x0400,
                 text, 512, NULL);
  DBG_LOG(LOG_WARN, L"UpdateLayeredWindow() : error : 0x%x[%d] : %s", (unsigned)err, (int)err,
          text);
  return false;
}

bool Watch::pushPlain(HDC windowDC, HDC memDC, SIZE size, BYTE opacity) {
  const bool attributes =
      SetLayeredWindowAttributes(m_hWnd, INDICATOR_KEY, opacity, LWA_COLORKEY | LWA_ALPHA) != FALSE;
  const bool blitted = BitBlt(windowDC, 0, 0, size.cx, size.cy, memDC, 0, 0, SRCCOPY) != FALSE;
  if (attributes && blitted) return true;
  // Both calls as one failure, so that a push failing in both is logged once, not per tick.
  const std::wstring key = std::wstring(attributes ? L"" : L"SetLayeredWindowAttributes() ") +
                           (blitted ? L"" : L"BitBlt()");
  if (m_drawFailure.failed(key)) {
    if (!attributes) DBG_LOG(LOG_ERROR, L"SetLayeredWindowAttributes()");
    if (!blitted) DBG_LOG(LOG_ERROR, L"BitBlt()");
  }
  return false;
}

static bool isTopmost(HWND hWnd) {
  return hWnd != NULL && (GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

static Standing standing(HWND hWnd) {
  Standing now = {};
  if (!GetWindowRect(hWnd, &now.rect)) {
    // Where the window stands is not known, so it is placed: counted as not visible,
    // which no placement leaves as it is.
    SetRectEmpty(&now.rect);
    now.visible = false;
    return now;
  }
  now.visible = IsWindowVisible(hWnd) != FALSE;
  now.topmost = isTopmost(hWnd);
  now.above = GetWindow(hWnd, GW_HWNDPREV);
  now.aboveTopmost = isTopmost(now.above);
  return now;
}

// Just above the target (below every window that covers it), topmost in fixed mode
// or when the window above cannot be opened.
void Watch::placeOverTarget(HWND target, int show, const Placement& place) {
  HWND prev = NULL;
  int prevCanOpen = 1;
  if (m_dMode != DISP_FIXED && show) {
    prev = GetWindow(target, GW_HWNDPREV);
    if (prev != NULL && prev != m_hWnd) prevCanOpen = canOpenProcess(prev);
  }
  ZORDER_KIND kind = chooseZOrder(m_dMode, show, prev, m_hWnd, prevCanOpen);
  if (kind == ZORDER_TOPMOST && prev != NULL && prev != m_hWnd && !prevCanOpen &&
      shouldWarnNoAdmin(prev, g_hNoAdminWarned, IsUserAnAdmin() != FALSE)) {
    DBG_LOG(LOG_CAUTION, L"管理者権限がありません");
    g_hNoAdminWarned = prev;
  }
  if (placementChangesNothing(kind, prev, isTopmost(prev), m_swpExtra, place, standing(m_hWnd))) {
    return;
  }
  if (!SetWindowPos(m_hWnd, insertAfterOf(kind, prev), place.pos.x, place.pos.y, place.size.cx,
                    place.size.cy, zOrderFlagsOf(kind) | m_swpExtra)) {
    DWORD err = GetLastError();
    DBG_LOG(LOG_ERROR, L"SetWindowPos() [0x%x,%d][0x%x]", (unsigned)err, (int)err,
            (unsigned)(UINT_PTR)m_hWnd);
  }
}

// A draw waits on the target (WM_GETTITLEBARINFOEX), and messages sent to the
// indicator meanwhile run: a draw they ask for is kept and runs after this one, so
// that it neither works under the running draw nor is overwritten by its older picture.
void Watch::draw(HWND target, int open, int show) {
  if (m_drawing) {
    m_redrawPending = true;
    m_pendingTarget = target;
    m_pendingOpen = open;
    m_pendingShow = show;
    return;
  }
  m_drawing = true;
  auto done = scope_exit([this] { m_drawing = false; });
  drawOnce(target, open, show);
  // draws asked for meanwhile; each may ask again, but not for ever
  for (int again = 0; m_redrawPending && again < 4; ++again) {
    m_redrawPending = false;
    drawOnce(m_pendingTarget, m_pendingOpen, m_pendingShow);
  }
  m_redrawPending = false;
}

void Watch::drawOnce(HWND target, int open, int show) {
  m_show = show;
  if (!IsWindow(target)) {
    DBG_LOG(LOG_INFO, L"draw() : No Target Window.");
    show = 0;
    m_show = 0;
  }
  try {
    const std::shared_ptr<C_ThemeData> themeHeld = m_pTheme;  // alive for the whole draw
    RECT rect = {0, 0, 0, 0};
    C_ThemeData* theme = NULL;
    int captionHeight = 0;
    int screenMode = getScreenMode(target, &rect, &theme, &captionHeight);
    if (screenMode == SCREEN_MINIMIZED) {
      show = 0;
      m_show = 0;
    }
    const Placement place = placementOf(rect, captionHeight, show);
    // The caption buttons matter only for a shown indicator over a caption.
    const int buttonWidth = (show && m_dMode != DISP_FIXED) ? getTitleBarInfo() : 0;

    const wchar_t* label = labelOf(open ? m_convMode : -1);
    if (show && canOpenProcess(target) == 0) label = ADMIN_LABEL;

    FrameInputs in;
    in.pos = place.pos;
    in.size = place.size;
    in.screenMode = screenMode;
    in.captionHeight = captionHeight;
    in.buttonWidth = buttonWidth;
    in.theme = captionThemeOf(theme ? theme->m_hTheme : NULL);
    in.themeGeneration = m_themeGeneration;
    in.imeOpen = open;
    in.label = label;
    in.opacity = drawOpacity(show, m_transparent, m_imeOpen, m_alphaOn, m_alphaOff);
    in.blinkPhase = m_blinkCount;
    in.settingsGeneration = g_pMyApp ? g_pMyApp->m_settingsGeneration : 0;
    in.show = show;
    in.composition = isCompositionEnabled();
    in.dMode = m_dMode;

    bool pushed = true;  // an unchanged frame stands as pushed
    if (!m_frameValid || !sameFrame(in, m_lastFrame)) {
      pushed = pushFrame(in);
      m_lastFrame = in;
    }
    placeOverTarget(target, show, place);
    if (pushed && m_drawFailure.succeeded()) {
      DBG_LOG(LOG_INFO, L"draw() : drawn again after %s", m_drawFailure.key().c_str());
    }
  } catch (CMyException* e) {
    m_frameValid = false;
    const std::wstring key = std::wstring(e->m_callName ? e->m_callName : L"") + L" " +
                             std::to_wstring(e->m_line) + L" " + std::to_wstring(e->m_code);
    if (m_drawFailure.failed(key)) LOG_MY_EXCEPTION(e);
    delete e;
  }
}

// The picture of a draw into a memory DC of its size, pushed to the layered window.
// A hidden indicator is pushed in its transparent state without the renderer.
bool Watch::pushFrame(const FrameInputs& in) {
  m_frameValid = false;
  std::unique_ptr<C_HDC> windowDC(new C_HDC(m_hWnd));
  std::unique_ptr<C_HDCCompat> memDC(new C_HDCCompat(windowDC->m_hDC, in.size));
  bool whole = true;
  if (in.show && g_pMyApp) {
    STRUCT_DRAW_INFO info = {in.imeOpen, in.label, in.buttonWidth,
                             in.theme,   in.dMode, in.screenMode};
    g_pMyApp->draw(memDC->m_hDC, in.size, &info);
    whole = !g_pMyApp->frameFailed();
  }
  const bool pushed = in.composition
                          ? pushComposited(memDC->m_hDC, in.pos, in.size, in.opacity)
                          : pushPlain(windowDC->m_hDC, memDC->m_hDC, in.size, in.opacity);
  ++m_framesPushed;
  // A frame the renderer did not finish, or that did not reach the window, is made
  // again at the next draw.
  m_frameValid = whole && pushed;
  return pushed;
}

int Watch::getScreenMode(HWND target, RECT* rect, C_ThemeData** theme, int* captionHeight) {
  if (!IsWindow(target)) return SCREEN_NORMAL;
  ScreenGeometry g;
  if (m_dMode == DISP_FIXED) {
    g = fixedGeometry(usableFixedRect());
  } else {
    try {
      CaptionMetrics m = currentCaptionMetrics();
      RECT wr = {0, 0, 0, 0};
      if (IsZoomed(target)) {
        if (!GetWindowRect(target, &wr)) THROW_MY_EXCEPTION(3, L"GetWindowRect()", -1);
        if (m.cyFrame + m.cyCaption == 0) THROW_MY_EXCEPTION(3, L"GetSystemMetrics()", -1);
        g = maximizedGeometry(wr, m);
      } else if (IsIconic(target)) {
        g = minimizedGeometry();
      } else {
        if (!GetWindowRect(target, &wr)) THROW_MY_EXCEPTION(3, L"GetWindowRect()", -1);
        if (looksMaximizing(wr, m)) {
          Sleep(10);
          if (!GetWindowRect(target, &wr)) THROW_MY_EXCEPTION(3, L"GetWindowRect()", -1);
        }
        g = normalGeometry(wr, m);
      }
    } catch (CMyException*) {
      DBG_LOG(LOG_ERROR, L"getScreenMode() : Exception.");
      throw;
    }
  }
  *rect = g.rect;
  *captionHeight = g.captionHeight;
  *theme = g.useTheme ? m_pTheme.get() : NULL;
  return g.mode;
}

int Watch::getTitleBarInfo() {
  TITLEBARINFOEX info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(m_hTarget, WM_GETTITLEBARINFOEX, 0, (LPARAM)&info, SMTO_ABORTIFHUNG, 100,
                      &result);
  return buttonWidthOf(info, currentCaptionMetrics());
}

void Watch::paintFixed(HDC hdc) {
  forgetFrame();  // whatever asked for the paint may have taken the layered picture too
  getImeState();
  if (m_dMode == DISP_FIXED) onPaint(hdc, m_hTarget, m_imeOpen);
}

LRESULT Watch::hitTest(LRESULT defResult) const {
  return ncHitTestResult(defResult, m_dMode, m_transparent != 0);
}

void Watch::onPaint(HDC hdc, HWND target, int open) {
  try {
    RECT wr = {0, 0, 0, 0};
    GetWindowRect(m_hWnd, &wr);
    SIZE size = {(wr.right - wr.left) - 2 * GetSystemMetrics(SM_CXFRAME),
                 (wr.bottom - wr.top) - 2 * GetSystemMetrics(SM_CYFRAME)};
    STRUCT_DRAW_INFO info = {open,         labelOf(open ? m_convMode : -1), 0, NULL, m_dMode,
                             SCREEN_NORMAL};
    if (g_pMyApp) g_pMyApp->draw(hdc, size, &info);
  } catch (CMyException* e) {
    LOG_MY_EXCEPTION(e);
    delete e;
  }
}

void Watch::setTopmost(int on) {
  m_show = on;
  forgetFrame();
  LONG_PTR exStyle = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
  if (exStyle == 0) {
    DBG_LOG(LOG_ERROR, L"GetWindowLongPtr() : ");
    return;
  }
  LONG_PTR newStyle = on ? (exStyle | WS_EX_TOPMOST) : (exStyle & ~(LONG_PTR)WS_EX_TOPMOST);
  if (SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, newStyle) == 0) {
    DBG_LOG(LOG_ERROR, L"SetWindowLongPtr() : 0x%0.8x : 0x%0.8x", 0u, (unsigned)exStyle);
    return;
  }
  const RECT r = usableFixedRect();
  BOOL ok;
  if (on) {
    ok = SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      SWP_SHOWWINDOW);
    if (!ok) DBG_LOG(LOG_ERROR, L"SetWindowPos() : ");
    ShowWindow(m_hWnd, SW_SHOW);
  } else {
    ok = SetWindowPos(m_hWnd, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      SWP_HIDEWINDOW);
    if (!ok) DBG_LOG(LOG_ERROR, L"SetWindowPos() : ");
  }
}

BOOL Watch::isCompositionEnabled() {
  BOOL enabled = FALSE;
  if (FAILED(DwmIsCompositionEnabled(&enabled))) {
    DBG_LOG(LOG_ERROR, L"DwmIsCompositionEnabled()");
  }
  return enabled;
}

// Applies a changed extended style without moving, sizing or activating.
static BOOL applyFrame(HWND hwnd) {
  return SetWindowPos(hwnd, NULL, 0, 0, 0, 0,
                      SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Watch::onThemeChanged(HWND hwnd) {
  LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (!(exStyle & WS_EX_LAYERED)) return;
  forgetFrame();  // the layered picture goes with the style
  if (SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle & ~(LONG_PTR)WS_EX_LAYERED) == 0) {
    DBG_LOG(LOG_ERROR, L"SetWindowLongPtr() : reset");
  } else if (!applyFrame(hwnd)) {
    DBG_LOG(LOG_ERROR, L"SetWindowPos() : reset");
  }
  if (SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle) == 0) {
    DBG_LOG(LOG_ERROR, L"SetWindowLongPtr() : set");
  } else if (!applyFrame(hwnd)) {
    DBG_LOG(LOG_ERROR, L"SetWindowPos() : set");
  }
  m_pTheme.reset(new C_ThemeData(hwnd));  // a running draw keeps the old one until it ends
  ++m_themeGeneration;
  s_captionTheme = CaptionThemeProbe();  // the new theme is asked afresh
}

RECT Watch::usableFixedRect() {
  const RECT held = ::usableFixedRect(m_dModePos, MIN_INDICATOR_SIZE, GetSystemMetrics(SM_CXSCREEN),
                                      GetSystemMetrics(SM_CYSCREEN));
  if (!EqualRect(&held, &m_dModePos) && !EqualRect(&m_dModePos, &m_loggedFixedRect)) {
    DBG_LOG(LOG_WARN, L"dModePos {%ld,%ld,%ld,%ld} : used as {%ld,%ld,%ld,%ld}", m_dModePos.left,
            m_dModePos.top, m_dModePos.right, m_dModePos.bottom, held.left, held.top, held.right,
            held.bottom);
    m_loggedFixedRect = m_dModePos;
  }
  return held;
}

bool Watch::shouldEraseBackground() {
  return shouldEraseBackgroundFor(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
}
