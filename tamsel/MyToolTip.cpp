// The countdown tooltip of the movable fixed mode: a 20 x 20 half-transparent
// popup next to the cursor.
#include "MyToolTip.h"

#include <string>

#include "Dbg.h"
#include "UniqueAny.h"
#include "WatchLogic.h"
#include "tamsel.h"

static const wchar_t TOOLTIP_CLASS[] = L"MY_TOOLTIP";
static const COLORREF TOOLTIP_BACK = 0x99FFFF;
static const COLORREF TOOLTIP_TEXT = 0x808080;
static const int TOOLTIP_SIZE = 20;
static const LONG TOOLTIP_CENTRED = 0x1;  // centred text, as SS_CENTER of a static control

// What the window procedure keeps for the tooltip window.
static std::wstring s_toolTipText;
static HFONT s_toolTipFont = NULL;

MyToolTip::MyToolTip(LOGFONTW* logFont)
    : m_state(0), m_hWnd(NULL), m_hParent(NULL), m_hBrush(NULL), m_pLogFont(logFont) {}

MyToolTip::~MyToolTip() {
  // The window goes first, so that the class can go. Unregistering the class frees its
  // background brush; while another window of the class is left, class and brush stay.
  if (m_hWnd != NULL && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
  if (m_hFont && s_toolTipFont == m_hFont.get()) s_toolTipFont = NULL;
  UnregisterClassW(TOOLTIP_CLASS, g_hInst);
  // The font goes with its owner, after the window.
}

// 8 points bold "メイリオ" at the parent's resolution.
static void fillToolTipFont(LOGFONTW* lf, HWND parent) {
  UniqueWindowDC hdc = getWindowDC(parent);
  int dpi = hdc ? GetDeviceCaps(hdc.get(), LOGPIXELSY) : 96;
  lf->lfHeight = -MulDiv(8, dpi, 72);
  lf->lfWeight = 700;
  lf->lfCharSet = SHIFTJIS_CHARSET;
  lf->lfOutPrecision = 0;
  lf->lfClipPrecision = 0;
  lf->lfQuality = 0;
  lf->lfPitchAndFamily = 16;
  lstrcpynW(lf->lfFaceName, L"メイリオ", 32);
}

void MyToolTip::onCreate(HWND parent) {
  DBG_LOG(LOG_INFO, L"onCreate()");
  m_hParent = parent;
  UniqueHBRUSH brush(CreateSolidBrush(TOOLTIP_BACK));
  if (!brush) DBG_LOG(LOG_ERROR, L"CreateSolidBrush()");

  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ToolTipWndProc;
  wc.hInstance = g_hInst;
  wc.hbrBackground = brush.get();
  wc.lpszClassName = TOOLTIP_CLASS;
  // The class takes the brush over. A second registration fails harmlessly, and the
  // brush no class took goes at once.
  if (RegisterClassExW(&wc)) m_hBrush = brush.release();

  m_hWnd =
      CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST,
                      TOOLTIP_CLASS, NULL, WS_POPUP | WS_BORDER | TOOLTIP_CENTRED, CW_USEDEFAULT,
                      CW_USEDEFAULT, TOOLTIP_SIZE, TOOLTIP_SIZE, parent, NULL, g_hInst, NULL);
  if (m_hWnd == NULL) DBG_LOG(LOG_ERROR, L"CreateWindowEx()");

  if (!SetLayeredWindowAttributes(m_hWnd, 0, 128, LWA_ALPHA)) {
    DWORD err = GetLastError();
    DBG_LOG(LOG_ERROR, L"SetLayeredWindowAttributes() : %d,%x", (int)err, (unsigned)err);
  }

  if (m_pLogFont != NULL) {
    fillToolTipFont(m_pLogFont, parent);
    m_hFont.reset(CreateFontIndirectW(m_pLogFont));
  }
  if (!m_hFont) DBG_LOG(LOG_ERROR, L"CreateFontIndirect()");
  if (m_hWnd != NULL) SendMessageW(m_hWnd, WM_SETFONT, (WPARAM)m_hFont.get(), 0);
  m_state = 1;
}

void MyToolTip::addTool() {
  DBG_LOG(LOG_INFO, L"addTool()");
  if (m_state == 1) {
    m_state = 2;
  } else {
    DBG_LOG(LOG_WARN, L"addTool() : BAD STATUS call.");
  }
}

// Hides the window at the bottom of the z-order without activating anything.
static void hideToolTip(HWND hWnd) {
  SetWindowPos(hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOOWNERZORDER);
}

void MyToolTip::delTool() {
  DBG_LOG(LOG_INFO, L"delTool() : [%x][%x]", (unsigned)(UINT_PTR)m_hWnd,
          (unsigned)(UINT_PTR)m_hParent);
  if (m_state == 2) {
    hideToolTip(m_hWnd);
    m_state = 1;
  } else {
    DBG_LOG(LOG_WARN, L"delTool() : BAD STATUS call.");
  }
}

BOOL MyToolTip::setText(const wchar_t* text) {
  BOOL set = SetWindowTextW(m_hWnd, text);
  if (!set) DBG_LOG(LOG_ERROR, L"SetWindowText()");
  POINT cursor = {0, 0};
  if (isCursorInParent(&cursor)) {
    POINT at = toolTipPosition(cursor);
    SetWindowPos(m_hWnd, HWND_TOPMOST, at.x, at.y, TOOLTIP_SIZE, TOOLTIP_SIZE,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return TRUE;
  }
  DBG_LOG(LOG_INFO, L"setText() OUT : POINT:[%d,%d]", (int)cursor.x, (int)cursor.y);
  hideToolTip(m_hWnd);
  return set;
}

BOOL MyToolTip::isCursorInParent(POINT* cursor) {
  RECT r;
  if (!GetWindowRect(m_hParent, &r)) {
    DBG_LOG(LOG_ERROR, L"GetWindowRect()");
    return FALSE;
  }
  POINT pt;
  if (!GetCursorPos(&pt)) {
    DBG_LOG(LOG_ERROR, L"GetCursorPos()");
    return FALSE;
  }
  *cursor = pt;
  return pointInClosed(r, pt) ? TRUE : FALSE;
}

LRESULT CALLBACK ToolTipWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_SETTEXT:
      s_toolTipText = lParam ? (const wchar_t*)lParam : L"";
      paintToolTip(hWnd, s_toolTipText.c_str());
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      paintToolTip(hWnd, s_toolTipText.c_str());
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_SETFONT:
      s_toolTipFont = (HFONT)wParam;
      return 0;
    default:
      return DefWindowProcW(hWnd, message, wParam, lParam);
  }
}

void paintToolTip(HWND hWnd, const wchar_t* text) {
  RECT wr = {0, 0, 0, 0};
  UniqueWindowDC dc = getWindowDC(hWnd);
  if (!dc) return;
  HDC hdc = dc.get();
  if (!GetWindowRect(hWnd, &wr)) DBG_LOG(LOG_ERROR, L"GetWindowRect()");
  TextOrigin origin =
      toolTipTextOrigin(GetWindowLongPtrW(hWnd, GWL_STYLE), wr.right - wr.left,
                        GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
  if (origin.align == TEXT_ALIGN_CENTER) SetTextAlign(hdc, TA_CENTER);
  if (origin.align == TEXT_ALIGN_RIGHT) SetTextAlign(hdc, TA_RIGHT);

  // A copy of the current font, selected for this paint only.
  LOGFONTW lf;
  ZeroMemory(&lf, sizeof(lf));
  if (s_toolTipFont != NULL) GetObjectW(s_toolTipFont, sizeof(lf), &lf);
  UniqueHFONT font(CreateFontIndirectW(&lf));
  if (!font) DBG_LOG(LOG_ERROR, L"CreateFontIndirect()");
  SelectObjectRestorer selectFont(hdc, font.get());  // selects nothing without a font

  SetTextColor(hdc, TOOLTIP_TEXT);
  SetBkColor(hdc, TOOLTIP_BACK);
  RECT client = {0, 0, 0, 0};
  GetClientRect(hWnd, &client);
  UniqueHBRUSH brush(CreateSolidBrush(TOOLTIP_BACK));
  if (!brush) {
    DBG_LOG(LOG_ERROR, L"CreateSolidBrush()");
  } else if (!FillRect(hdc, &client, brush.get())) {
    DBG_LOG(LOG_ERROR, L"FillRect()");
  }
  TextOutW(hdc, origin.x, origin.y, text, lstrlenW(text));
}
