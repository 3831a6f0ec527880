// The base of the settings dialog's pages.
#include "MyDialogTab.h"

#include <commctrl.h>

#include "Dbg.h"

CMyDialogTab::CMyDialogTab(WORD id)
    : resourceId(id), hInstance(NULL), hParent(NULL), hPage(NULL), title(L""), tabIndex(0) {}

CMyDialogTab::~CMyDialogTab() {
  // The window normally goes with the settings dialog first; should it outlive the
  // page, its messages must not reach a page that no longer exists.
  if (hPage && IsWindow(hPage)) SetWindowLongPtrW(hPage, DWLP_USER, 0);
}

BOOL CMyDialogTab::create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) {
  hInstance = hInst;
  hParent = parent;
  MoveWindow(hPage, corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  return ShowWindow(hPage, SW_HIDE);
}

BOOL CMyDialogTab::createPage(DLGPROC proc, HINSTANCE hInst, HWND parent, POINT corner, RECT rect) {
  hInstance = hInst;
  hParent = parent;
  createWindow(proc);
  return CMyDialogTab::create(hInst, parent, corner, rect);
}

HWND CMyDialogTab::createWindow(DLGPROC proc) {
  hPage = CreateDialogParamW(hInstance, MAKEINTRESOURCEW(resourceId), hParent, proc,
                             reinterpret_cast<LPARAM>(this));
  return hPage;
}

void CMyDialogTab::onInitDialog(HWND page) {
  for (auto& item : items) item->init(page, hParent);
}

INT_PTR CMyDialogTab::askItems(ItemQuestion question, WPARAM wParam, LPARAM lParam) {
  for (auto& item : items) {
    if (INT_PTR r = ((*item).*question)(wParam, lParam)) return r;
  }
  return 0;
}

INT_PTR CMyDialogTab::onCommand(WPARAM wParam, LPARAM lParam) {
  return askItems(&CMyTabItem::onCommand, wParam, lParam);
}

INT_PTR CMyDialogTab::onHScroll(WPARAM wParam, LPARAM lParam) {
  return askItems(&CMyTabItem::onHScroll, wParam, lParam);
}

INT_PTR CMyDialogTab::onNotify(WPARAM wParam, LPARAM lParam) {
  return askItems(&CMyTabItem::onNotify, wParam, lParam);
}

INT_PTR CMyDialogTab::onCtlColorStatic(WPARAM wParam, LPARAM lParam) {
  return askItems(&CMyTabItem::onCtlColorStatic, wParam, lParam);
}

void CMyDialogTab::refresh() {
  for (auto& item : items) item->refresh();
}

void CMyDialogTab::insertTab(HWND hTab) {
  TCITEMW tie = {};
  tie.mask = TCIF_TEXT;
  tie.pszText = const_cast<wchar_t*>(title);
  tie.cchTextMax = lstrlenW(title);
  tie.lParam = tabIndex;
  if (SendMessageW(hTab, TCM_INSERTITEMW, tabIndex, reinterpret_cast<LPARAM>(&tie)) < 0)
    DBG_LOG(LOG_ERROR, L"SendMessage(%s)", title);
}

HWND CMyDialogTab::edgeControl(int which, int firstId, int lastId) const {
  if (which != 0 && which != -1) return NULL;
  HWND control = GetDlgItem(hPage, which == 0 ? firstId : lastId);
  if (!control) DBG_LOG(LOG_INFO, L"GetDlgItem(First) : NULL");
  return control;
}

INT_PTR CMyDialogTab::dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               unsigned forwarded) {
  if (message == WM_INITDIALOG) {
    // The page does not know its window yet: its items are bound to this one.
    auto* page = reinterpret_cast<CMyDialogTab*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    if (page) page->onInitDialog(hwnd);
    return 0;
  }
  auto* page = reinterpret_cast<CMyDialogTab*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!page) return 0;
  switch (message) {
    case WM_COMMAND:
      return (forwarded & kCommand) ? page->onCommand(wParam, lParam) : 0;
    case WM_HSCROLL:
      return (forwarded & kHScroll) ? page->onHScroll(wParam, lParam) : 0;
    case WM_NOTIFY:
      return (forwarded & kNotify) ? page->onNotify(wParam, lParam) : 0;
    case WM_CTLCOLORSTATIC:
      return (forwarded & kCtlColorStatic) ? page->onCtlColorStatic(wParam, lParam) : 0;
    case WM_NCDESTROY:
      // The window is gone: the page no longer names it (nor a later window that
      // happens to get the same handle).
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      if (page->hPage == hwnd) page->hPage = NULL;
      return 0;
    default:
      return 0;
  }
}
