// A memory DC holding a 32-bit DIB section with per-pixel alpha, ready for
// UpdateLayeredWindow. Rows are stored bottom-up: row 0 of m_pBits is the bottom row.
#include "C_HDCCompat.h"

#include "CMyException.h"
#include "Dbg.h"
#include "UniqueAny.h"

BITMAPV5HEADER makeDibHeader(LONG width, LONG height) {
  BITMAPV5HEADER header;
  ZeroMemory(&header, sizeof(header));
  header.bV5Size = sizeof(BITMAPV5HEADER);
  header.bV5Width = width;
  header.bV5Height = height;  // positive: bottom-up
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  return header;
}

C_HDCCompat::C_HDCCompat(HDC hSrcDC, SIZE size)
    : m_hSrcDC(hSrcDC), m_hDC(NULL), m_pBits(NULL), m_hBitmap(NULL), m_hOldBitmap(NULL) {
  // Held by an owner until the DIB section is made, so a failure there frees it.
  UniqueMemoryDC dc(CreateCompatibleDC(m_hSrcDC));
  if (!dc) throw new CMyException(SRC_PATHW, 96, 3, L"CreateCompatibleDC()", -1);

  BITMAPV5HEADER header = makeDibHeader(size.cx, size.cy);
  m_hBitmap = CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                               &m_pBits, NULL, 0);
  if (m_hBitmap == NULL) {
    DBG_LOG_AT(LOG_ERROR, 115, L"CreateDIBSection() : NULL : HDC : 0x%0.8x, CX,CY : %d,%d",
               (unsigned)(UINT_PTR)dc.get(), (int)size.cx, (int)size.cy);
    m_pBits = NULL;
    throw new CMyException(SRC_PATHW, 116, 0, L"CreateDIBSection()", -1);
  }
  m_hDC = dc.release();
  m_hOldBitmap = SelectObject(m_hDC, m_hBitmap);
}

C_HDCCompat::~C_HDCCompat() {
  if (m_hOldBitmap != NULL) SelectObject(m_hDC, m_hOldBitmap);
  if (m_hBitmap != NULL) DeleteObject(m_hBitmap);
  if (m_hDC != NULL) DeleteDC(m_hDC);
}
