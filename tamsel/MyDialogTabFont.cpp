// The font page "フォント".
#include "MyDialogTabFont.h"

#include <string.h>

#include "Dbg.h"
#include "resource.h"

CMyItemFont::CMyItemFont() : color(0), logFont(), chooseFont(), size(0), styleBuffer() {
  chooseFont.lpszStyle = styleBuffer;
}

void CMyItemFont::bindControls(HWND page) {
  hPage = page;
  nameControl.reset(new MyGuiItem(page, IDC_EDIT_FACE));
  styleControl.reset(new MyGuiItem(page, IDC_EDIT_STYLE));
  sizeControl.reset(new MyGuiItem(page, IDC_EDIT_SIZE));
  swatchControl.reset(new MyGuiItem(page, IDC_STATIC1));
  buttonControl.reset(new MyGuiItem(page, IDC_BUTTON3));
}

void CMyItemFont::updateControls() {
  if (!nameControl) return;
  SetWindowTextW(nameControl->hWnd, logFont.lfFaceName);
  SetWindowTextW(styleControl->hWnd, style.c_str());
  SetWindowTextW(sizeControl->hWnd, std::to_wstring(size).c_str());
}

INT_PTR CMyItemFont::onCommand(WPARAM wParam, LPARAM lParam) {
  if (!buttonControl || (HWND)lParam != buttonControl->hWnd || HIWORD(wParam) != BN_CLICKED)
    return 0;
  DBG_LOG(LOG_INFO, L"onCommand(FONT/BN_CLICKED)");
  LOGFONTW chosen = logFont;
  // The dialog reads and writes the style in a buffer of LF_FACESIZE characters.
  wcsncpy(styleBuffer, style.c_str(), LF_FACESIZE - 1);
  styleBuffer[LF_FACESIZE - 1] = L'\0';
  chooseFont.lStructSize = sizeof chooseFont;
  chooseFont.hwndOwner = hOwner;
  chooseFont.lpLogFont = &chosen;
  chooseFont.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_USESTYLE | CF_EFFECTS;
  chooseFont.nFontType = SCREEN_FONTTYPE;
  chooseFont.rgbColors = color;
  chooseFont.iPointSize = size * 10;
  chooseFont.lpszStyle = styleBuffer;
  if (ChooseFontW(&chooseFont)) {
    logFont = chosen;
    color = chooseFont.rgbColors;
    styleBuffer[LF_FACESIZE - 1] = L'\0';
    style = styleBuffer;
    size = chooseFont.iPointSize / 10;  // 10.5 points are stored as 10
  }
  chooseFont.lpLogFont = nullptr;  // the temporary goes with this call
  updateControls();
  for (const auto* control : {&nameControl, &styleControl, &sizeControl, &swatchControl})
    InvalidateRect((*control)->hWnd, NULL, FALSE);
  return 1;
}

INT_PTR CMyItemFont::onCtlColorStatic(WPARAM, LPARAM lParam) {
  if (!swatchControl || (HWND)lParam != swatchControl->hWnd) return 0;
  return (INT_PTR)hBrush.brushFor(color);
}

CMyDialogTabFont::CMyDialogTabFont() : CMyDialogTab(IDD_TAB_FONT) {
  title = L"フォント";
  tabIndex = 2;
  font = addItem(std::make_shared<CMyItemFont>());
}

BOOL CMyDialogTabFont::create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) {
  return createPage(proc, hInst, parent, corner, rect);
}

HWND CMyDialogTabFont::getEdgeControl(int which) {
  return edgeControl(which, IDC_BUTTON3, IDC_BUTTON3);
}

INT_PTR CALLBACK CMyDialogTabFont::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return dispatch(hwnd, message, wParam, lParam, kCommand | kCtlColorStatic);
}
