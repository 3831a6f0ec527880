// The colour page "色": colour and opacity for IME off, IME on and the shading.
#pragma once
#include "MyDialogTab.h"

// The custom colours of every colour dialog the process opens; kept until it ends.
extern COLORREF g_custColors[16];

// An opacity trackbar (0 to 100 percent), a colour swatch and the button "色選択"
// that opens the colour dialog.
class CMyItemColor : public CMyTabItem {
 public:
  CMyItemColor(WORD trackbarId, WORD swatchId, WORD buttonId);
  void bindControls(HWND page) override;
  void updateControls() override;
  INT_PTR onCommand(WPARAM wParam, LPARAM lParam) override;
  INT_PTR onHScroll(WPARAM wParam, LPARAM lParam) override;
  INT_PTR onCtlColorStatic(WPARAM wParam, LPARAM lParam) override;

  HBRUSH brush() const { return hBrush.get(); }

  std::unique_ptr<MyGuiItem> trackbar;
  WORD trackbarId;
  std::unique_ptr<MyGuiItem> swatch;
  WORD swatchId;
  std::unique_ptr<MyGuiItem> button;
  WORD buttonId;
  COLORREF color;
  int opacity;
  SwatchBrush hBrush;
};

class CMyDialogTabColor : public CMyDialogTab {
 public:
  CMyDialogTabColor();
  BOOL create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) override;
  HWND getEdgeControl(int which) override;
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  CMyItemColor* imeOff;  // "IME OFF"
  CMyItemColor* imeOn;   // "IME ON"
  CMyItemColor* shade;   // "インジケータ影"
};
