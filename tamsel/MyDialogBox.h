// The modeless tabbed settings dialog.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "MySerialize.h"

class CMyDialogTab;
class CMyDialogTabDisp;
class CMyDialogTabColor;
class CMyDialogTabFont;
class CMyDialogTabEffect;
class CMyDialogTabRun;

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

  // Inner steps of open and of the dialog procedure.
  void build(const CMySerialize* settings);
  void load(const CMySerialize* settings);
  void initTabs(HWND dialog);
  void onSelChange(const NMHDR* header);
  void refreshTabs();
  void changeTabOrder(HWND dialog, HWND page);
  // The two directions of the map between the record and the page items.
  void writeItems(const CMySerialize& settings);
  void readItems(CMySerialize* settings);

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

 private:
  // The pages of `tabs` by their kind, for the record map.
  std::shared_ptr<CMyDialogTabDisp> m_disp;
  std::shared_ptr<CMyDialogTabColor> m_color;
  std::shared_ptr<CMyDialogTabFont> m_font;
  std::shared_ptr<CMyDialogTabEffect> m_effect;
  std::shared_ptr<CMyDialogTabRun> m_run;

  void onInitDialog(HWND hwnd);
  void onOk();
  void onCancel();
  void close();  // hides and destroys the dialog window
  void report(int changed);
};

// Where the settings dialog goes so that it sits in the middle of the screen: the
// window size (w, h) and the border and dialog-frame metrics are subtracted from the
// screen size and the rest halved (integer division, toward zero).
POINT dialogCentre(int screenW, int screenH, int w, int h, int cxBorder, int cyBorder,
                   int cxDlgFrame, int cyDlgFrame);
