// The main module: globals, window messages and timers of the indicator window.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "UniqueAny.h"
#include "tamselDefs.h"

class Watch;
class CMyApp;
class CMySerialize;
class MyDialogBox;
class QrSplashScreen;

constexpr int MAX_LOADSTRING = 100;

extern HINSTANCE g_hInst;
extern HWND g_hMainWnd;
extern WCHAR g_szTitle[MAX_LOADSTRING];
extern WCHAR g_szWindowClass[MAX_LOADSTRING];
extern UniqueHMENU g_hMenu;  // the tray menu resource; g_hTrayMenu is its first submenu
extern HMENU g_hTrayMenu;

// Owning holders: reset() stores the new object first, then deletes the old one.
extern std::unique_ptr<Watch> g_pWatch;
extern std::unique_ptr<CMyApp> g_pMyApp;
extern std::unique_ptr<CMySerialize> g_pSettings;
extern std::unique_ptr<MyDialogBox> g_pDialogBox;
extern std::unique_ptr<QrSplashScreen> g_pSplash;

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK aboutDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
ATOM registerWindowClass(HINSTANCE hInstance);
BOOL createMainWindow(HINSTANCE hInstance, int nCmdShow);
BOOL postSettingChange(WPARAM wParam, LPARAM lParam);
int addTrayIcon(HWND hWnd);
int deleteTrayIcon(HWND hWnd);

// Start-up steps of the entry.
void setProcessLocale();  // LC_CTYPE "japanese": code page 932 for the log and the file
// In Safe Mode (cleanBoot non-zero) writes the CAUTION line and returns true.
bool endInSafeMode(int cleanBoot);
// Logs a failed main-window creation; returns the exit code for it (-1).
int mainWindowFailed();
// Creates the main window (createMainWindow): 0, or the exit code of mainWindowFailed.
int openMainWindow(HINSTANCE hInstance, int nCmdShow);
// The shell's "TaskbarCreated" message, sent to every top-level window when the
// taskbar is made anew.
UINT taskbarCreatedMessage();

// Runs a step of the settings roads. Whatever it throws (CMyException*, _com_error,
// std::exception) is logged at ERROR and ends here; false when it threw.
bool runGuarded(const wchar_t* what, int line, const std::function<void()>& step);

// Decisions of the window procedure, kept apart so they can be checked alone.

// Where the tray menu opens: (n - 1) * 2 menu-bar heights above the cursor for n items.
POINT trayMenuPoint(POINT cursor, int menuBarHeight, int itemCount);
// Only the right-button release over the tray icon (id 0) opens the menu.
bool isTrayMenuRequest(WPARAM wParam, LPARAM lParam);
// The movable fixed indicator is dragged by its whole area: its client area answers
// HTCAPTION; every other case keeps the default answer.
LRESULT ncHitTestResult(LRESULT defResult, DISP_MODE dMode, bool transparent);
// The dialog's report is taken only while the dialog state holds and the dialog has
// closed its window (it reports after closing); a report from elsewhere changes nothing.
bool acceptSettingChange(bool dialogOpen, const MyDialogBox* box);
// WM_MY_STARTED belongs to a splash whose window is up (state 2), WM_SPLASH_END to one
// that has finished (state 4); with no splash object neither applies.
bool splashMessageApplies(const QrSplashScreen* splash, UINT message);
