// Entry point, message loop and main window procedure (being filled in).
#include "tamsel.h"

#include "MyApp.h"
#include "MyDialogBox.h"
#include "MySerialize.h"
#include "QrSplashScreen.h"
#include "Watch.h"

HINSTANCE g_hInst = nullptr;
HWND g_hMainWnd = nullptr;
WCHAR g_szTitle[MAX_LOADSTRING] = {};
WCHAR g_szWindowClass[MAX_LOADSTRING] = {};
HMENU g_hMenu = nullptr;
HMENU g_hTrayMenu = nullptr;

std::unique_ptr<Watch> g_pWatch;
std::unique_ptr<CMyApp> g_pMyApp;
std::unique_ptr<CMySerialize> g_pSettings;
std::unique_ptr<MyDialogBox> g_pDialogBox;
std::unique_ptr<QrSplashScreen> g_pSplash;

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hWnd, message, wParam, lParam);
}

INT_PTR CALLBACK aboutDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
ATOM registerWindowClass(HINSTANCE) { return 0; }
BOOL createMainWindow(HINSTANCE, int) { return FALSE; }
BOOL postSettingChange(WPARAM wParam, LPARAM lParam) {
  return PostMessageW(g_hMainWnd, WM_MY_SAVE_SETTINGCHANGE, wParam, lParam);
}
int addTrayIcon(HWND) { return 0; }
int deleteTrayIcon(HWND) { return 0; }

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
