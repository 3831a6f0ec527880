// The DC of a window, released with the window it came from.
#include "C_HDC.h"

#include "CMyException.h"
#include "Dbg.h"

C_HDC::C_HDC(HWND hWnd) : m_hWnd(NULL), m_hDC(NULL) {
  if (hWnd == NULL) throw new CMyException(SRC_PATHW, 18, 3, L"HWND bad.", -1);
  m_hWnd = hWnd;
  m_hDC = GetDC(m_hWnd);
  if (m_hDC == NULL) throw new CMyException(SRC_PATHW, 21, 3, L"GetDC()", -1);
}

C_HDC::~C_HDC() {
  if (m_hDC != NULL) ReleaseDC(m_hWnd, m_hDC);
}
