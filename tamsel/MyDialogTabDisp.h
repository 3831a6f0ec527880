// The display page "表示方法": display mode, horizontal text position and the two
// switches of what the indicator shows.
#pragma once
#include "MyDialogTab.h"

// The radios "フロート" (1001) and "固定" (1002); the value is a DISP_MODE.
class CMyItemDispMode : public CMyTabItem {
 public:
  CMyItemDispMode();
  void bindControls(HWND page) override;
  void updateControls() override;
  INT_PTR onCommand(WPARAM wParam, LPARAM lParam) override;
  std::vector<HWND> getControls() override;

  int value;

 private:
  std::unique_ptr<MyGuiItem> m_float;
  std::unique_ptr<MyGuiItem> m_fixed;
};

// The trackbar 1004 (0 to 100 percent) with its labels 1030 to 1033, usable only
// while the display mode is DISP_FLOAT.
class CMyItemHorizontalPos : public CMyTabItem {
 public:
  CMyItemHorizontalPos();
  void bindControls(HWND page) override;
  void updateControls() override;
  INT_PTR onHScroll(WPARAM wParam, LPARAM lParam) override;
  int onParentMode(int kind, int mode) override;
  std::vector<HWND> getControls() override;

  float value;

 private:
  std::unique_ptr<MyGuiItem> m_trackbar;
};

class CMyItemIndShow : public CMyItemCheck {
 public:
  CMyItemIndShow();
};

class CMyItemIconShow : public CMyItemCheck {
 public:
  CMyItemIconShow();
};

class CMyDialogTabDisp : public CMyDialogTab {
 public:
  CMyDialogTabDisp();
  BOOL create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) override;
  HWND getEdgeControl(int which) override;
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  CMyItemDispMode* dispMode;
  CMyItemHorizontalPos* horizontalPos;
  CMyItemIndShow* indShow;
  CMyItemIconShow* iconShow;
};
