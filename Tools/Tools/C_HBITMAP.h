// Owns the active-caption bitmap of a visual style, taken as a copy.
#pragma once
#include <windows.h>

#include <uxtheme.h>

class C_HBITMAP {
 public:
  explicit C_HBITMAP(HTHEME theme);  // throws CMyException* when no bitmap is had
  ~C_HBITMAP();
  C_HBITMAP(const C_HBITMAP&) = delete;
  C_HBITMAP& operator=(const C_HBITMAP&) = delete;

  HBITMAP m_hBitmap;
};
