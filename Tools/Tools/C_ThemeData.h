// Owns the "WINDOW" theme data of a window; a NULL theme is logged, not thrown.
#pragma once
#include <windows.h>

#include <uxtheme.h>

class C_ThemeData {
 public:
  explicit C_ThemeData(HWND hWnd);
  ~C_ThemeData();
  C_ThemeData(const C_ThemeData&) = delete;
  C_ThemeData& operator=(const C_ThemeData&) = delete;

  HTHEME m_hTheme;
};
