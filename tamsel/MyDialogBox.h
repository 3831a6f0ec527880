// The modeless tabbed settings dialog.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "MySerialize.h"

class CMyDialogTab;

typedef BOOL (*SettingChangeCallback)(WPARAM, LPARAM);

class MyDialogBox {
 public:
  MyDialogBox();
  ~MyDialogBox();
  MyDialogBox(const MyDialogBox&) = delete;
  MyDialogBox& operator=(const MyDialogBox&) = delete;

  void open(HINSTANCE hInst, HWND owner, const CMySerialize* settings, SettingChangeCallback cb);
  CMySerialize* getSettings() const;  // a new copy of the working record; the caller owns it
  int isTabPage(HWND hWnd) const;

  WORD dialogId;
  HINSTANCE hInstance;
  std::vector<std::shared_ptr<CMyDialogTab>> tabs;
  int curTab;
  CMySerialize snapshot;
  CMySerialize working;
  SettingChangeCallback callback;
  HWND hDlg;

  static MyDialogBox* s_pThis;
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
