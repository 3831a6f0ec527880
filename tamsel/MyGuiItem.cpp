// The item base of the settings pages and the wrapper of one page control.
#include "MyGuiItem.h"

#include <commctrl.h>

#include "Dbg.h"

MyGuiItem::MyGuiItem(HWND parent, WORD controlId)
    : id(controlId), hParent(parent), hWnd(GetDlgItem(parent, controlId)) {
  if (!hWnd) DBG_LOG(LOG_INFO, L"GetDlgItem(%d) : NULL", (int)controlId);
}

LRESULT MyGuiItem::sendMessage(UINT message) const { return sendItemMessage(hWnd, message, 0, 0); }

bool failsBelowZero(UINT message) {
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETITEMDATA:
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_SETITEMDATA:
    case TCM_INSERTITEMW:
      return true;
    default:
      return false;
  }
}

LRESULT sendItemMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = SendMessageW(window, message, wParam, lParam);
  if (failsBelowZero(message) && (int)(DWORD)result < 0)
    DBG_LOG(LOG_ERROR, L"SendMessage(msg=%d)", (int)message);
  return result;
}

CMyTabItem::CMyTabItem() : hPage(NULL), hOwner(NULL), disabled(0) {}

CMyTabItem::~CMyTabItem() = default;

void CMyTabItem::init(HWND page, HWND owner) {
  hOwner = owner;
  bindControls(page);
  updateControls();
}

void CMyTabItem::refresh() { updateControls(); }

INT_PTR CMyTabItem::onCommand(WPARAM, LPARAM) { return 0; }
INT_PTR CMyTabItem::onHScroll(WPARAM, LPARAM) { return 0; }
INT_PTR CMyTabItem::onNotify(WPARAM, LPARAM) { return 0; }
INT_PTR CMyTabItem::onCtlColorStatic(WPARAM, LPARAM) { return 0; }

void CMyTabItem::disable() { disabled = 1; }
void CMyTabItem::enable() { disabled = 0; }

int CMyTabItem::onParentMode(int, int) { return 0; }

void CMyTabItem::disableChildren() {
  for (CMyTabItem* child : children) child->disable();
}

void CMyTabItem::enableChildren() {
  for (CMyTabItem* child : children) child->enable();
}

std::vector<HWND> CMyTabItem::getControls() { return {}; }

void CMyTabItem::notifyChildren(int value) {
  for (CMyTabItem* child : children) {
    if (child->onParentMode(0, value) != 0) return;
  }
}

CMyItemCheck::CMyItemCheck(WORD controlId, const wchar_t* symbol)
    : value(0), m_id(controlId), m_symbol(symbol) {}

void CMyItemCheck::bindControls(HWND page) {
  hPage = page;
  m_check.reset(new MyGuiItem(page, m_id));
}

void CMyItemCheck::updateControls() {
  if (!m_check) return;
  sendItemMessage(m_check->hWnd, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

INT_PTR CMyItemCheck::onCommand(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) != m_id) return 0;
  if (HIWORD(wParam) != BN_CLICKED || !m_check) return 1;
  if (m_check->sendMessage(BM_GETCHECK) != 0) {
    DBG_LOG(LOG_INFO, L"onCommand(%s/BST_CHECKED)", m_symbol);
    value = 1;
  } else {
    DBG_LOG(LOG_INFO, L"onCommand(%s/BST_UNCHECKED)", m_symbol);
    value = 0;
  }
  return 1;
}

std::vector<HWND> CMyItemCheck::getControls() { return {windowOf(m_check)}; }

HBRUSH SwatchBrush::brushFor(COLORREF color) {
  if (m_brush && m_color == color) return m_brush.get();
  m_brush.reset();  // the old brush goes before a new one is made
  m_brush.reset(CreateSolidBrush(color));
  if (!m_brush) {
    DBG_LOG(LOG_ERROR, L"CreateSolidBrush()");
    return NULL;
  }
  m_color = color;
  return m_brush.get();
}
