// A small half-transparent popup that shows a short text next to the cursor.
#pragma once
#include <windows.h>

#include "UniqueAny.h"

class MyToolTip {
 public:
  explicit MyToolTip(LOGFONTW* logFont);
  ~MyToolTip();  // destroys the window and unregisters "MY_TOOLTIP"
  MyToolTip(const MyToolTip&) = delete;
  MyToolTip& operator=(const MyToolTip&) = delete;

  void onCreate(HWND parent);
  void addTool();
  void delTool();
  BOOL setText(const wchar_t* text);
  BOOL isCursorInParent(POINT* cursor);

  int m_state;  // 0 no window, 1 hidden, 2 tool active
  HWND m_hWnd;
  HWND m_hParent;
  HBRUSH m_hBrush;  // the class background; the class owns it and frees it when unregistered
  UniqueHFONT m_hFont;
  LOGFONTW* m_pLogFont;
};

LRESULT CALLBACK ToolTipWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void paintToolTip(HWND hWnd, const wchar_t* text);
