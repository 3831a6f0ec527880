// The modeless tabbed settings dialog (being filled in).
#include "MyDialogBox.h"

MyDialogBox* MyDialogBox::s_pThis = nullptr;

MyDialogBox::MyDialogBox()
    : dialogId(130), hInstance(nullptr), curTab(0), callback(nullptr), hDlg(nullptr) {}
MyDialogBox::~MyDialogBox() {}
void MyDialogBox::open(HINSTANCE, HWND, const CMySerialize*, SettingChangeCallback) {}
CMySerialize* MyDialogBox::getSettings() const { return new CMySerialize(working); }
int MyDialogBox::isTabPage(HWND) const { return 0; }
INT_PTR CALLBACK MyDialogBox::proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
