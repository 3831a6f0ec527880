// The effect page "エフェクト".
#include "MyDialogTabEffect.h"

#include <commctrl.h>

#include "Dbg.h"
#include "resource.h"

CMyItemEffect::CMyItemEffect(WORD checkBoxId, WORD trackId)
    : checkId(checkBoxId),
      trackbarId(trackId),
      checkState(0),
      value(0),
      rangeMin(0),
      rangeMax(100),
      pageSize(1),
      tickFrequency(10) {}

void CMyItemEffect::setRange(int minimum, int maximum) {
  rangeMin = minimum;
  if (maximum != -1) rangeMax = maximum;
}

void CMyItemEffect::setSteps(int page, int tick) {
  pageSize = page;
  if (tick != -1) tickFrequency = tick;
}

void CMyItemEffect::bindControls(HWND page) {
  hPage = page;
  check.reset(new MyGuiItem(page, checkId));
  trackbar.reset(new MyGuiItem(page, trackbarId));
}

void CMyItemEffect::updateControls() {
  if (!trackbar) return;
  sendItemMessage(check->hWnd, BM_SETCHECK, checkState != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  HWND track = trackbar->hWnd;
  sendItemMessage(track, TBM_SETRANGE, TRUE, MAKELONG(rangeMin, rangeMax));
  sendItemMessage(track, TBM_SETSEL, FALSE, MAKELONG(rangeMin, rangeMax));
  sendItemMessage(track, TBM_SETPAGESIZE, 0, pageSize);
  sendItemMessage(track, TBM_SETTICFREQ, tickFrequency, 0);
  sendItemMessage(track, TBM_SETPOS, TRUE, value);
  EnableWindow(track, checkState != 0);
  InvalidateRect(track, NULL, FALSE);
}

INT_PTR CMyItemEffect::onCommand(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) != checkId || HIWORD(wParam) != BN_CLICKED || !check) return 0;
  if (check->sendMessage(BM_GETCHECK) != 0) {
    DBG_LOG(LOG_INFO, L"onCommand(IDC_CHECK/BST_CHECKED)");
    checkState = 1;
  } else {
    DBG_LOG(LOG_INFO, L"onCommand(IDC_CHECK/BST_UNCHECKED)");
    checkState = 0;
  }
  updateControls();
  return 1;
}

INT_PTR CMyItemEffect::onHScroll(WPARAM, LPARAM lParam) {
  if (!trackbar || (HWND)lParam != trackbar->hWnd) return 0;
  value = (int)trackbar->sendMessage(TBM_GETPOS);
  return 1;
}

CMyDialogTabEffect::CMyDialogTabEffect() : CMyDialogTab(IDD_TAB_EFFECT) {
  title = L"エフェクト";
  tabIndex = 3;
  gradient = addItem(std::make_shared<CMyItemEffect>(IDC_CHECK1, IDC_SLIDER4));
  blink = addItem(std::make_shared<CMyItemEffect>(IDC_CHECK2, IDC_SLIDER3));
  blink->setRange(1, 30);
  blink->setSteps(1, 5);
}

BOOL CMyDialogTabEffect::create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) {
  return createPage(proc, hInst, parent, corner, rect);
}

HWND CMyDialogTabEffect::getEdgeControl(int which) {
  return edgeControl(which, IDC_CHECK1, IDC_SLIDER3);
}

INT_PTR CALLBACK CMyDialogTabEffect::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return dispatch(hwnd, message, wParam, lParam, kCommand | kHScroll);
}
