// Tells whether a window is, or lies below, a top-level application window.
#pragma once
#include <windows.h>

#include <vector>

class QrEnumWnd {
 public:
  QrEnumWnd();
  int IsApp(HWND hWnd);

  // The test of one top-level window (the five conditions, in their order).
  static int isAppWindow(HWND w);

  std::vector<HWND> m_unused;  // kept empty
  HWND m_hWndCheck;
  int m_found;

 private:
  static BOOL CALLBACK enumProc(HWND w, LPARAM param);
  BOOL onWindow(HWND w);
};
