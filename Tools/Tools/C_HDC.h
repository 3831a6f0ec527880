// Owns the DC of a window (GetDC / ReleaseDC).
#pragma once
#include <windows.h>

class C_HDC {
 public:
  explicit C_HDC(HWND hWnd);  // throws CMyException* for a NULL window or a failed GetDC
  ~C_HDC();
  C_HDC(const C_HDC&) = delete;
  C_HDC& operator=(const C_HDC&) = delete;

  HWND m_hWnd;
  HDC m_hDC;
};
