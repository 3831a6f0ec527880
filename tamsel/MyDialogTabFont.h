// The font page "フォント": face, style, size and colour of the indicator's text,
// changed together through the font dialog.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "MyDialogTab.h"

class CMyItemFont : public CMyTabItem {
 public:
  CMyItemFont();
  void bindControls(HWND page) override;
  void updateControls() override;
  INT_PTR onCommand(WPARAM wParam, LPARAM lParam) override;
  INT_PTR onCtlColorStatic(WPARAM wParam, LPARAM lParam) override;
  std::wstring getStyle() const { return style; }

  HBRUSH brush() const { return hBrush.get(); }

  std::unique_ptr<MyGuiItem> nameControl;
  std::unique_ptr<MyGuiItem> styleControl;
  std::unique_ptr<MyGuiItem> sizeControl;
  std::unique_ptr<MyGuiItem> swatchControl;
  std::unique_ptr<MyGuiItem> buttonControl;
  COLORREF color;
  LOGFONTW logFont;
  CHOOSEFONTW chooseFont;
  SwatchBrush hBrush;
  int size;  // points
  std::wstring style;
  wchar_t styleBuffer[LF_FACESIZE];
};

class CMyDialogTabFont : public CMyDialogTab {
 public:
  CMyDialogTabFont();
  BOOL create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) override;
  HWND getEdgeControl(int which) override;
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void setStyle(std::wstring value) { font->style = std::move(value); }
  std::wstring getStyle() const { return font->getStyle(); }

  CMyItemFont* font;
};
