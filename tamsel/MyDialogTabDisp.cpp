// The display page "表示方法".
#include "MyDialogTabDisp.h"

#include <commctrl.h>

#include "Dbg.h"
#include "MySerialize.h"
#include "resource.h"

namespace {
// The labels of the position trackbar: "左", "中", "右" and "表示位置".
constexpr int kPosLabels[] = {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4};
}  // namespace

CMyItemDispMode::CMyItemDispMode() : value(DISP_FLOAT) {}

void CMyItemDispMode::bindControls(HWND page) {
  hPage = page;
  m_float.reset(new MyGuiItem(page, IDC_RADIO1));
  m_fixed.reset(new MyGuiItem(page, IDC_RADIO2));
}

void CMyItemDispMode::updateControls() {
  if (!m_float) return;
  // "フロート" stands for every mode but DISP_FIXED.
  sendItemMessage(m_float->hWnd, BM_SETCHECK, value != DISP_FIXED ? 1 : 0, 0);
  sendItemMessage(m_fixed->hWnd, BM_SETCHECK, value == DISP_FIXED ? 1 : 0, 0);
  notifyChildren(value);
}

INT_PTR CMyItemDispMode::onCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != BN_CLICKED) return 0;
  switch (LOWORD(wParam)) {
    case IDC_RADIO1:
      DBG_LOG(LOG_INFO, L"onCommand(IDC_RADIO1/BN_CLICKED)");
      value = DISP_FLOAT;
      break;
    case IDC_RADIO2:
      DBG_LOG(LOG_INFO, L"onCommand(IDC_RADIO2/BN_CLICKED)");
      value = DISP_FIXED;
      break;
    default:
      return 0;
  }
  notifyChildren(value);
  return 1;
}

std::vector<HWND> CMyItemDispMode::getControls() { return {windowOf(m_float), windowOf(m_fixed)}; }

CMyItemHorizontalPos::CMyItemHorizontalPos() : value(0.0f) {}

void CMyItemHorizontalPos::bindControls(HWND page) {
  hPage = page;
  m_trackbar.reset(new MyGuiItem(page, IDC_SLIDER1));
}

void CMyItemHorizontalPos::updateControls() {
  if (!m_trackbar) return;
  HWND track = m_trackbar->hWnd;
  sendItemMessage(track, TBM_SETRANGE, FALSE, MAKELONG(0, 100));
  sendItemMessage(track, TBM_SETPAGESIZE, 0, 1);
  sendItemMessage(track, TBM_SETTICFREQ, 10, 0);
  // a stored value outside the range shows at the nearer end
  sendItemMessage(track, TBM_SETPOS, TRUE, (LPARAM)(int)shownHorizontalPos(value));
  const BOOL enabled = disabled == 0;
  EnableWindow(track, enabled);
  for (int id : kPosLabels) EnableWindow(GetDlgItem(hPage, id), enabled);
}

INT_PTR CMyItemHorizontalPos::onHScroll(WPARAM, LPARAM lParam) {
  if (!m_trackbar || (HWND)lParam != m_trackbar->hWnd) return 0;
  value = (float)(int)m_trackbar->sendMessage(TBM_GETPOS);
  return 1;
}

int CMyItemHorizontalPos::onParentMode(int kind, int mode) {
  if (kind != 0) return 0;
  if (mode != DISP_FLOAT) {
    disable();
  } else {
    enable();
  }
  updateControls();
  return 1;
}

std::vector<HWND> CMyItemHorizontalPos::getControls() { return {windowOf(m_trackbar)}; }

CMyItemIndShow::CMyItemIndShow() : CMyItemCheck(IDC_CHECK1, L"IDC_CHECK1") {}

CMyItemIconShow::CMyItemIconShow() : CMyItemCheck(IDC_CHECK2, L"IDC_CHECK2") {}

CMyDialogTabDisp::CMyDialogTabDisp() : CMyDialogTab(IDD_TAB_DISP) {
  title = L"表示方法";
  tabIndex = 0;
  dispMode = addItem(std::make_shared<CMyItemDispMode>());
  horizontalPos = addItem(std::make_shared<CMyItemHorizontalPos>());
  indShow = addItem(std::make_shared<CMyItemIndShow>());
  iconShow = addItem(std::make_shared<CMyItemIconShow>());
  dispMode->children.push_back(horizontalPos);
}

BOOL CMyDialogTabDisp::create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) {
  return createPage(proc, hInst, parent, corner, rect);
}

HWND CMyDialogTabDisp::getEdgeControl(int which) {
  return edgeControl(which, IDC_RADIO1, IDC_CHECK2);
}

INT_PTR CALLBACK CMyDialogTabDisp::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return dispatch(hwnd, message, wParam, lParam, kCommand | kHScroll);
}
