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

void Watch::pushComposited(HDC memDC, POINT pos, SIZE size, BYTE opacity) {
  BLENDFUNCTION blend = blendOf(opacity);
  POINT src = {0, 0};
  if (UpdateLayeredWindow(m_hWnd, NULL, &pos, &size, memDC, &src, INDICATOR_KEY, &blend,
                          ULW_COLORKEY | ULW_ALPHA)) {
    return;
  }
  DWORD err = GetLastError();
  if (err == ERROR_MR_MID_NOT_FOUND) return;
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, err, 0x0400,
                 text, 512, NULL);
  DBG_LOG(LOG_WARN, L"UpdateLayeredWindow() : error : 0x%x[%d] : %s", (unsigned)err, (int)err,
          text);
}

void Watch::pushPlain(HDC windowDC, HDC memDC, SIZE size, BYTE opacity) {
  if (!SetLayeredWindowAttributes(m_hWnd, INDICATOR_KEY, opacity, LWA_COLORKEY | LWA_ALPHA)) {
    DBG_LOG(LOG_ERROR, L"SetLayeredWindowAttributes()");
  }
  if (!BitBlt(windowDC, 0, 0, size.cx, size.cy, memDC, 0, 0, SRCCOPY)) {
    DBG_LOG(LOG_ERROR, L"BitBlt()");
  }
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
  if (!SetWindowPos(m_hWnd, insertAfterOf(kind, prev), place.pos.x, place.pos.y, place.size.cx,
                    place.size.cy, zOrderFlagsOf(kind) | m_swpExtra)) {
    DWORD err = GetLastError();
    DBG_LOG(LOG_ERROR, L"SetWindowPos() [0x%x,%d][0x%x]", (unsigned)err, (int)err,
            (unsigned)(UINT_PTR)m_hWnd);
  }
}

void Watch::draw(HWND target, int open, int show) {
  m_show = show;
  if (!IsWindow(target)) {
    DBG_LOG(LOG_INFO, L"draw() : No Target Window.");
    show = 0;
    m_show = 0;
  }
  try {
    RECT rect = {0, 0, 0, 0};
    C_ThemeData* theme = NULL;
    int captionHeight = 0;
    int screenMode = getScreenMode(target, &rect, &theme, &captionHeight);
    if (screenMode == SCREEN_MINIMIZED) {
      show = 0;
      m_show = 0;
    }
    Placement place = placementOf(rect, captionHeight, show);
    int buttonWidth = getTitleBarInfo();

    std::unique_ptr<C_HDC> windowDC(new C_HDC(m_hWnd));
    std::unique_ptr<C_HDCCompat> memDC(new C_HDCCompat(windowDC->m_hDC, place.size));

    const wchar_t* label = labelOf(open ? m_convMode : -1);
    if (canOpenProcess(target) == 0) label = ADMIN_LABEL;

    STRUCT_DRAW_INFO info = {open,        label,
                             buttonWidth, captionThemeOf(theme ? theme->m_hTheme : NULL),
                             m_dMode,     screenMode};
    if (g_pMyApp) g_pMyApp->draw(memDC->m_hDC, place.size, &info);

    BYTE opacity = drawOpacity(show, m_transparent, m_imeOpen, m_alphaOn, m_alphaOff);
    if (isCompositionEnabled()) {
      pushComposited(memDC->m_hDC, place.pos, place.size, opacity);
    } else {
      pushPlain(windowDC->m_hDC, memDC->m_hDC, place.size, opacity);
    }

    placeOverTarget(target, show, place);
  } catch (CMyException* e) {
    LOG_MY_EXCEPTION(e);
    delete e;
  }
}

int Watch::getScreenMode(HWND target, RECT* rect, C_ThemeData** theme, int* captionHeight) {
  if (!IsWindow(target)) return SCREEN_NORMAL;
  ScreenGeometry g;
  if (m_dMode == DISP_FIXED) {
    g = fixedGeometry(m_dModePos);
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
  const RECT& r = m_dModePos;
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
  m_pTheme.reset(new C_ThemeData(hwnd));
  s_captionTheme = CaptionThemeProbe();  // the new theme is asked afresh
}

bool Watch::shouldEraseBackground() {
  return shouldEraseBackgroundFor(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
}
