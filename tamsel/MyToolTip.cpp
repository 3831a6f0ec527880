// The countdown tooltip of the movable fixed mode.
#include "MyToolTip.h"

MyToolTip::MyToolTip(LOGFONTW* logFont)
    : m_state(0),
      m_hWnd(NULL),
      m_hParent(NULL),
      m_hBrush(NULL),
      m_hFont(NULL),
      m_pLogFont(logFont) {}
MyToolTip::~MyToolTip() {}
void MyToolTip::onCreate(HWND parent) {}
void MyToolTip::addTool() {}
void MyToolTip::delTool() {}
BOOL MyToolTip::setText(const wchar_t* text) { return FALSE; }
BOOL MyToolTip::isCursorInParent(POINT* cursor) { return FALSE; }
LRESULT CALLBACK ToolTipWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hWnd, message, wParam, lParam);
}
void paintToolTip(HWND hWnd, const wchar_t* text) {}
