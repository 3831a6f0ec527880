// A memory DC with a 32-bit bottom-up DIB section whose masks include alpha.
#pragma once
#include <windows.h>

class C_HDCCompat {
 public:
  C_HDCCompat(HDC hSrcDC, SIZE size);  // throws CMyException*
  ~C_HDCCompat();
  C_HDCCompat(const C_HDCCompat&) = delete;
  C_HDCCompat& operator=(const C_HDCCompat&) = delete;

  HDC m_hSrcDC;  // the caller's, not owned
  HDC m_hDC;
  void* m_pBits;
  HBITMAP m_hBitmap;
  HGDIOBJ m_hOldBitmap;
};

// The header of the DIB section: 32 bits, bottom-up, BI_BITFIELDS with an alpha mask.
BITMAPV5HEADER makeDibHeader(LONG width, LONG height);
