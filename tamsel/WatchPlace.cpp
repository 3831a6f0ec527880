// Placement of the indicator and the update of its layered window.
#include "Watch.h"

HWND g_hNoAdminWarned = NULL;

void Watch::draw(HWND target, int open, int show) { m_show = show; }
int Watch::getScreenMode(HWND target, RECT* rect, C_ThemeData** theme, int* captionHeight) {
  return 2;
}
int Watch::getTitleBarInfo() { return 0; }
void Watch::onPaint(HDC hdc, HWND target, int open) {}
void Watch::setTopmost(int on) { m_show = on; }
BOOL Watch::isCompositionEnabled() { return FALSE; }
void Watch::onThemeChanged(HWND hwnd) {}
