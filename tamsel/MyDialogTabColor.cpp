// The colour page "色".
#include "MyDialogTabColor.h"

#include <commctrl.h>
#include <commdlg.h>

#include "Dbg.h"
#include "resource.h"

COLORREF g_custColors[16] = {};

CMyItemColor::CMyItemColor(WORD trackId, WORD swatchControlId, WORD buttonControlId)
    : trackbarId(trackId),
      swatchId(swatchControlId),
      buttonId(buttonControlId),
      color(0),
      opacity(0) {}

void CMyItemColor::bindControls(HWND page) {
  hPage = page;
  trackbar.reset(new MyGuiItem(page, trackbarId));
  swatch.reset(new MyGuiItem(page, swatchId));
  button.reset(new MyGuiItem(page, buttonId));
}

void CMyItemColor::updateControls() {
  if (!trackbar) return;
  HWND track = trackbar->hWnd;
  sendItemMessage(track, TBM_SETRANGE, FALSE, MAKELONG(0, 100));
  sendItemMessage(track, TBM_SETPAGESIZE, 0, 1);
  sendItemMessage(track, TBM_SETTICFREQ, 50, 0);
  sendItemMessage(track, TBM_SETPOS, TRUE, opacity);
}

INT_PTR CMyItemColor::onCommand(WPARAM wParam, LPARAM lParam) {
  if (!button || (HWND)lParam != button->hWnd || HIWORD(wParam) != BN_CLICKED) return 0;
  DBG_LOG(LOG_INFO, L"onCommand(%d/BN_CLICKED)", (int)buttonId);
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = hOwner;
  cc.rgbResult = color;
  cc.lpCustColors = g_custColors;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (ChooseColorW(&cc)) color = cc.rgbResult;
  InvalidateRect(swatch->hWnd, NULL, FALSE);
  return 1;
}

INT_PTR CMyItemColor::onHScroll(WPARAM, LPARAM lParam) {
  if (!trackbar || (HWND)lParam != trackbar->hWnd) return 0;
  opacity = (int)trackbar->sendMessage(TBM_GETPOS);
  return 1;
}

INT_PTR CMyItemColor::onCtlColorStatic(WPARAM, LPARAM lParam) {
  if (!swatch || (HWND)lParam != swatch->hWnd) return 0;
  return (INT_PTR)hBrush.brushFor(color);
}

CMyDialogTabColor::CMyDialogTabColor() : CMyDialogTab(IDD_TAB_COLOR) {
  title = L"色";
  tabIndex = 1;
  imeOff = addItem(std::make_shared<CMyItemColor>(IDC_SLIDER1, IDC_STATIC1, IDC_BUTTON1));
  imeOn = addItem(std::make_shared<CMyItemColor>(IDC_SLIDER2, IDC_STATIC2, IDC_BUTTON2));
  shade = addItem(std::make_shared<CMyItemColor>(IDC_SLIDER3, IDC_STATIC3, IDC_BUTTON3));
}

BOOL CMyDialogTabColor::create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) {
  return createPage(proc, hInst, parent, corner, rect);
}

HWND CMyDialogTabColor::getEdgeControl(int which) {
  return edgeControl(which, IDC_SLIDER1, IDC_BUTTON3);
}

INT_PTR CALLBACK CMyDialogTabColor::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return dispatch(hwnd, message, wParam, lParam, kCommand | kHScroll | kCtlColorStatic);
}
