// The modeless tabbed settings dialog.
//
// The dialog edits copies of the settings record it is opened with: `snapshot` keeps
// the values as opened, `working` receives the page values on OK. How the dialog ended
// goes to the callback (1 changed, 0 not); the main window then takes the new record
// with getSettings.
#include "MyDialogBox.h"

#include <commctrl.h>

#include "Dbg.h"
#include "resource.h"

MyDialogBox* MyDialogBox::s_pThis = nullptr;

namespace {

// Line numbers of the dialog's log lines, as its log has always shown them.
constexpr int kLineCreateDialog = 199;
constexpr int kLineSetIcon = 276;
constexpr int kLineStoreChanged = 370;
constexpr int kLineStoreUnchanged = 375;
constexpr int kLineCancel = 395;
constexpr int kLineNoTab = 471;
constexpr int kLineNullPage = 639;
constexpr int kLineNoOk = 644;
constexpr int kLineNoCancel = 650;
constexpr int kLineNoTabOrder = 656;
constexpr int kLineFirst = 661;
constexpr int kLineOk = 665;
constexpr int kLineCancelOrder = 669;

// The tab control and the page controls need the common controls' window classes.
void initCommonControls() {
  INITCOMMONCONTROLSEX icc = {};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
}

}  // namespace

POINT dialogCentre(int screenW, int screenH, int w, int h, int cxBorder, int cyBorder,
                   int cxDlgFrame, int cyDlgFrame) {
  POINT pt;
  pt.x = (screenW - w - cxBorder - cxDlgFrame) / 2;
  pt.y = (screenH - h - cyBorder - cyDlgFrame) / 2;
  return pt;
}

MyDialogBox::MyDialogBox()
    : dialogId(IDD_SETTINGS), hInstance(nullptr), curTab(0), callback(nullptr), hDlg(nullptr) {}

MyDialogBox::~MyDialogBox() {
  if (hDlg) DestroyWindow(hDlg);
  hDlg = nullptr;
  if (s_pThis == this) s_pThis = nullptr;
}

void MyDialogBox::open(HINSTANCE hInst, HWND owner, const CMySerialize* settings,
                       SettingChangeCallback cb) {
  hInstance = hInst;
  callback = cb;
  if (hDlg) {
    // Already open: what was not confirmed is dropped, the record's values come back.
    load(settings);
    refreshTabs();
    ShowWindow(hDlg, SW_SHOW);
    return;
  }
  build(settings);
  initCommonControls();
  hDlg = CreateDialogParamW(hInstance, MAKEINTRESOURCEW(dialogId), owner, proc, 0);
  if (!hDlg) {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : CreateDialog()\n", DBG_FILE, kLineCreateDialog,
             L"ERROR");
  }
}

CMySerialize* MyDialogBox::getSettings() const { return new CMySerialize(working); }

int MyDialogBox::isTabPage(HWND hWnd) const {
  // The pages come with their own module; until then the list stays empty and no
  // window is one of its pages.
  (void)hWnd;
  return 0;
}

void MyDialogBox::build(const CMySerialize* settings) {
  s_pThis = this;
  snapshot = *settings;
  working = *settings;
  // The pages of an earlier opening are released here; new ones come with the pages.
  tabs.clear();
  load(settings);
}

void MyDialogBox::load(const CMySerialize* settings) {
  snapshot = *settings;
  working = *settings;
}

void MyDialogBox::initTabs(HWND dialog) {
  HWND hTab = GetDlgItem(dialog, IDC_TAB);
  if (!hTab) {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : GetDlgItem(hTab) : NULL\n", DBG_FILE, kLineNoTab,
             L"INFO");
    return;
  }
  curTab = 0;
}

void MyDialogBox::onSelChange(const NMHDR* header) {
  if (!header || header->idFrom != IDC_TAB || header->code != TCN_SELCHANGE) return;
  LRESULT sel = SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0);
  // No page to show or hide while the list is empty.
  if (sel < 0 || (size_t)sel >= tabs.size()) return;
  curTab = (int)sel;
}

void MyDialogBox::refreshTabs() {}

void MyDialogBox::changeTabOrder(HWND dialog, HWND page) {
  if (!page) {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : changeTabOrder() : _hTab[%x]\n", DBG_FILE, kLineNullPage,
             L"INFO", (unsigned)(UINT_PTR)page);
  }
  HWND hOk = GetDlgItem(dialog, IDOK);
  if (!hOk)
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : GetDlgItem(hOk) : NULL\n", DBG_FILE, kLineNoOk, L"INFO");
  HWND hCancel = GetDlgItem(dialog, IDCANCEL);
  if (!hCancel)
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : GetDlgItem(hCancel) : NULL\n", DBG_FILE, kLineNoCancel,
             L"INFO");
  HWND hTab = GetDlgItem(dialog, IDC_TAB);
  if (!hTab)
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : GetDlgItem(hTab) : NULL\n", DBG_FILE, kLineNoTabOrder,
             L"INFO");

  const UINT flags = SWP_NOSIZE | SWP_NOMOVE;
  if (!SetWindowPos(page, hTab, 0, 0, 0, 0, flags))
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : changeTabOrder() : First.\n", DBG_FILE, kLineFirst,
             L"ERROR");
  if (!SetWindowPos(hOk, page, 0, 0, 0, 0, flags))
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : changeTabOrder() : OK.\n", DBG_FILE, kLineOk, L"ERROR");
  if (!SetWindowPos(hCancel, hOk, 0, 0, 0, 0, flags))
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : changeTabOrder() : CANCEL.\n", DBG_FILE,
             kLineCancelOrder, L"ERROR");
}

void MyDialogBox::onInitDialog(HWND hwnd) {
  HICON icon = LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_APP));
  if (icon) {
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
  } else {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : WM_SETICON : %x\n", DBG_FILE, kLineSetIcon, L"ERROR",
             GetLastError());
  }
  RECT rc;
  GetWindowRect(hwnd, &rc);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  POINT pt = dialogCentre(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), w, h,
                          GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER),
                          GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME));
  SetWindowPos(hwnd, HWND_TOP, pt.x, pt.y, w, h, SWP_SHOWWINDOW);
  initTabs(hwnd);
}

void MyDialogBox::report(int changed) {
  if (callback) callback((WPARAM)changed, 0);
}

void MyDialogBox::close() {
  // WM_DESTROY clears hDlg; keep the handle for the call.
  HWND wnd = hDlg;
  if (!wnd) return;
  ShowWindow(wnd, SW_HIDE);
  DestroyWindow(wnd);
}

void MyDialogBox::onOk() {
  // The pages' values are read into `working` here once the pages exist.
  const int changed = working.differs(snapshot) ? 1 : 0;
  if (changed) {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : STORE 変更あり\n", DBG_FILE, kLineStoreChanged, L"INFO");
  } else {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : STORE 変更なし\n", DBG_FILE, kLineStoreUnchanged,
             L"INFO");
  }
  report(changed);
  close();
}

void MyDialogBox::onCancel() {
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : proc() :  CANCEL.\n", DBG_FILE, kLineCancel, L"INFO");
  working = snapshot;
  report(0);
  close();
}

INT_PTR CALLBACK MyDialogBox::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MyDialogBox* self = s_pThis;
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      self->onInitDialog(hwnd);
      return TRUE;
    case WM_NOTIFY:
      self->onSelChange(reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          self->onOk();
          return TRUE;
        case IDCANCEL:
          self->onCancel();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      self->report(0);
      self->close();
      return TRUE;
    case WM_DESTROY:
      if (self->hDlg == hwnd) self->hDlg = nullptr;
      return TRUE;
    default:
      return FALSE;
  }
}
