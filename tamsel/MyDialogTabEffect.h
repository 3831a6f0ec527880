// The effect page "エフェクト": the gradient with its pitch and blinking with its speed.
#pragma once
#include "MyDialogTab.h"

// A check box that switches an effect and a trackbar for its strength, usable only
// while the effect is on.
class CMyItemEffect : public CMyTabItem {
 public:
  CMyItemEffect(WORD checkId, WORD trackbarId);
  // A second value of -1 keeps the value it had.
  void setRange(int minimum, int maximum);
  void setSteps(int pageSize, int tickFrequency);

  void bindControls(HWND page) override;
  void updateControls() override;
  INT_PTR onCommand(WPARAM wParam, LPARAM lParam) override;
  INT_PTR onHScroll(WPARAM wParam, LPARAM lParam) override;

  WORD checkId;
  std::unique_ptr<MyGuiItem> check;
  WORD trackbarId;
  std::unique_ptr<MyGuiItem> trackbar;
  int checkState;
  int value;
  int rangeMin;
  int rangeMax;
  int pageSize;
  int tickFrequency;
};

class CMyDialogTabEffect : public CMyDialogTab {
 public:
  CMyDialogTabEffect();
  BOOL create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) override;
  HWND getEdgeControl(int which) override;
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  CMyItemEffect* gradient;
  CMyItemEffect* blink;  // its level counts hundreds of milliseconds
};
