// The "WINDOW" theme data of a window; no visual style is not an error.
#include "C_ThemeData.h"

#include "Dbg.h"

C_ThemeData::C_ThemeData(HWND hWnd) : m_hTheme(NULL) {
  m_hTheme = OpenThemeData(hWnd, L"WINDOW");
  if (m_hTheme == NULL) {
    DBG_LOG_AT(LOG_WARN, 18, L"OpenThemeData() : NULL");
  }
}

C_ThemeData::~C_ThemeData() {
  if (m_hTheme != NULL) CloseThemeData(m_hTheme);
}
