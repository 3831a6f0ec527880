// The items of the settings pages: the item base `CMyTabItem`, the control wrapper
// `MyGuiItem`, the two logging send operations, and the pieces several items share
// (a check box item and the brush of a colour swatch).
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "UniqueAny.h"

// One control of a page dialog. A missing control is logged once and leaves a
// wrapper with a null window, to which every message goes without effect.
class MyGuiItem {
 public:
  MyGuiItem(HWND parent, WORD controlId);
  // SendMessageW(hWnd, message, 0, 0), logged as sendItemMessage logs it.
  LRESULT sendMessage(UINT message) const;

  WORD id;
  HWND hParent;
  HWND hWnd;
};

// Whether the message answers with a status in which a result below zero (as a 32-bit
// int) is a failure (the list and combo box LB_ERR/CB_ERR, the tab control's -1). Most
// control messages answer with a value instead, for which a negative number is ordinary:
// UDM_SETPOS gives the previous position, UDM_SETBUDDY the previous buddy, TBM_GETPOS
// the position, BM_GETCHECK the state; the others give nothing to test.
bool failsBelowZero(UINT message);

// SendMessageW with the four arguments; a failure a result below zero reports (see
// failsBelowZero) is logged. The result is returned unchanged.
LRESULT sendItemMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window of a wrapper that may not exist yet.
inline HWND windowOf(const std::unique_ptr<MyGuiItem>& item) { return item ? item->hWnd : NULL; }

// A group of controls of a page that edits one setting (or a few that belong together).
class CMyTabItem {
 public:
  CMyTabItem();
  virtual ~CMyTabItem();
  CMyTabItem(const CMyTabItem&) = delete;
  CMyTabItem& operator=(const CMyTabItem&) = delete;

  // Stores the page window in hPage and builds the item's control wrappers.
  virtual void bindControls(HWND page) = 0;
  // Writes the item's value into its controls.
  virtual void updateControls() = 0;
  virtual void init(HWND page, HWND owner);
  virtual void refresh();
  // Non-zero: the item took the message (the page asks no further item).
  virtual INT_PTR onCommand(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR onHScroll(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR onNotify(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR onCtlColorStatic(WPARAM wParam, LPARAM lParam);
  // The controls follow at the next updateControls.
  virtual void disable();
  virtual void enable();
  virtual int onParentMode(int kind, int value);
  virtual void disableChildren();
  virtual void enableChildren();
  virtual std::vector<HWND> getControls();

  // Tells the children the value (kind 0) until one of them answers.
  void notifyChildren(int value);

  HWND hPage;
  HWND hOwner;  // the settings dialog: owner of the common dialogs items open
  int disabled;
  std::vector<CMyTabItem*> children;  // not owned: the page owns every item
};

// A check box that stores 1 or 0 after a click and shows any non-zero value checked.
// `symbol` names the control in the log ("IDC_CHECK1").
class CMyItemCheck : public CMyTabItem {
 public:
  CMyItemCheck(WORD controlId, const wchar_t* symbol);
  void bindControls(HWND page) override;
  void updateControls() override;
  INT_PTR onCommand(WPARAM wParam, LPARAM lParam) override;
  std::vector<HWND> getControls() override;

  int value;

 private:
  WORD m_id;
  const wchar_t* m_symbol;
  std::unique_ptr<MyGuiItem> m_check;
};

// The brush a colour swatch is painted with: one brush at most, made again only when
// the colour changes, deleted with its owner.
class SwatchBrush {
 public:
  // The brush of the colour, or null (logged) when none can be made.
  HBRUSH brushFor(COLORREF color);
  HBRUSH get() const { return m_brush.get(); }

 private:
  UniqueHBRUSH m_brush;
  COLORREF m_color = 0;
};
