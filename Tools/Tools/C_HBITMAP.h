// Owns the active-caption bitmap of a visual style, taken as a copy.
#pragma once
#include <windows.h>

#include <uxtheme.h>

class C_HBITMAP {
 public:
  // The signature of uxtheme's GetThemeBitmap.
  typedef HRESULT(WINAPI* GetThemeBitmapFn)(HTHEME, int, int, int, ULONG, HBITMAP*);

  // Asks uxtheme's GetThemeBitmap; throws CMyException* when no bitmap is had.
  explicit C_HBITMAP(HTHEME theme);
  // Asks `getThemeBitmap` instead (NULL: the entry is missing).
  C_HBITMAP(HTHEME theme, GetThemeBitmapFn getThemeBitmap);
  ~C_HBITMAP();
  C_HBITMAP(const C_HBITMAP&) = delete;
  C_HBITMAP& operator=(const C_HBITMAP&) = delete;

  // uxtheme's GetThemeBitmap, looked up once; NULL where uxtheme does not export it.
  static GetThemeBitmapFn systemEntry();

  HBITMAP m_hBitmap;
};
