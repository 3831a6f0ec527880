// The base of the settings dialog's pages: one child dialog in the tab control's
// display area, with its tab title and its items.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "MyGuiItem.h"

class CMyDialogTab {
 public:
  explicit CMyDialogTab(WORD resourceId);
  virtual ~CMyDialogTab();
  CMyDialogTab(const CMyDialogTab&) = delete;
  CMyDialogTab& operator=(const CMyDialogTab&) = delete;

  // Stores module and parent, places the page window at corner with the size of rect
  // and hides it; returns ShowWindow's result. The pages create their window first.
  virtual BOOL create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect);
  virtual void onInitDialog(HWND page);
  // Each hands the message to the items in order; the first non-zero result wins.
  virtual INT_PTR onCommand(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR onHScroll(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR onNotify(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR onCtlColorStatic(WPARAM wParam, LPARAM lParam);
  virtual void refresh();
  // 0: the page's first control, -1: its last; anything else null.
  virtual HWND getEdgeControl(int which) = 0;

  // Inserts the title into the tab control at the page's tab index.
  void insertTab(HWND hTab);

  WORD resourceId;
  HINSTANCE hInstance;
  HWND hParent;
  HWND hPage;  // null until created, and again once the window is gone
  const wchar_t* title;
  int tabIndex;
  std::vector<std::shared_ptr<CMyTabItem>> items;

 protected:
  // Messages a page's procedure hands to the page besides WM_INITDIALOG.
  enum Forward : unsigned {
    kCommand = 1,
    kHScroll = 2,
    kNotify = 4,
    kCtlColorStatic = 8,
  };
  // Creates the page window from the template with the page's procedure (module and
  // parent stored first); the page travels in the creation parameter and stays with
  // the window.
  HWND createWindow(DLGPROC proc);
  // A page's create: the window made with its procedure, then placed and hidden.
  BOOL createPage(DLGPROC proc, HINSTANCE hInst, HWND parent, POINT corner, RECT rect);
  // The page procedures' common body: finds the page kept with the window and hands
  // it the messages in `forwarded`.
  static INT_PTR dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                          unsigned forwarded);
  // GetDlgItem of the first (which 0) or last (which -1) control, logged when missing.
  HWND edgeControl(int which, int firstId, int lastId) const;

  using ItemQuestion = INT_PTR (CMyTabItem::*)(WPARAM, LPARAM);
  // Asks the items in order; the first non-zero answer, or 0.
  INT_PTR askItems(ItemQuestion question, WPARAM wParam, LPARAM lParam);

  template <class Item>
  Item* addItem(std::shared_ptr<Item> item) {
    items.push_back(item);
    return item.get();
  }
};
