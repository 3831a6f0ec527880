// The "WINDOW" theme data of a window; no visual style is not an error.
#include "C_ThemeData.h"

#include "Dbg.h"

C_ThemeData::C_ThemeData(HWND hWnd) : m_hTheme(NULL) {
  m_hTheme = OpenThemeData(hWnd, L"WINDOW");
  if (m_hTheme == NULL) {
    dbgPrint(LOG_WARN, L"%-24s(%5d) %-8s : OpenThemeData() : NULL\n", DBG_FILE, 18, L"WARN");
  }
}

C_ThemeData::~C_ThemeData() {
  if (m_hTheme != NULL) CloseThemeData(m_hTheme);
}
