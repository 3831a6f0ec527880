// The run page "動作": loop interval, move-wait count and the full-screen switch.
#pragma once
#include <string>

#include "MyDialogTab.h"

// Typed text of a number field: a decimal integer (optional sign, blanks around it),
// held within minValue to maxValue. False for anything else (empty, letters, "1 2").
bool parseSpinText(const std::wstring& text, int minValue, int maxValue, int* value);

// An edit box with an up-down control beside it. The arrows step the value within
// the range; typed text is taken over when the box is left and on OK.
template <typename T>
class CMyItemSpin : public CMyTabItem {
 public:
  CMyItemSpin(WORD upDown, WORD edit, int minimum, int maximum, int limit);
  void bindControls(HWND page) override;
  void updateControls() override;
  INT_PTR onCommand(WPARAM wParam, LPARAM lParam) override;
  INT_PTR onNotify(WPARAM wParam, LPARAM lParam) override;
  std::vector<HWND> getControls() override;

  void setEditText(T number);
  // Takes a number the user typed over as the value: true when the text was not the
  // value's own. Text that is no number puts the value back into the box.
  bool takeTypedText();

  std::unique_ptr<MyGuiItem> editControl;
  std::unique_ptr<MyGuiItem> upDownControl;
  T value;
  WORD upDownId;
  WORD editId;
  int maxValue;
  int minValue;
  int textLimit;

 private:
  std::wstring m_written;  // the text the item last put into the box
};

class CMyItemRunInterval : public CMyItemSpin<unsigned int> {
 public:
  CMyItemRunInterval();
};

class CMyItemTransWaitCount : public CMyItemSpin<int> {
 public:
  CMyItemTransWaitCount();
};

class CMyItemAppMaxShow : public CMyItemCheck {
 public:
  CMyItemAppMaxShow();
};

class CMyDialogTabRun : public CMyDialogTab {
 public:
  CMyDialogTabRun();
  BOOL create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) override;
  HWND getEdgeControl(int which) override;
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // Takes over what the user typed into the number fields (OK does this first).
  void takeTypedText();

  CMyItemRunInterval* runInterval;
  CMyItemTransWaitCount* transWaitCount;
  CMyItemAppMaxShow* appMaxShow;
};
