// Constants and modes shared by the program's modules: display and screen modes,
// the colour key of the indicator, the program's own messages and its timers.
#pragma once
#include <windows.h>

// Where the indicator stands: over the target's caption, or at a fixed rectangle.
enum DISP_MODE : int { DISP_FLOAT = 0, DISP_FIXED = 1 };

// The state of the target window as the placement sees it: 0 maximized,
// 1 minimized, 2 normal window, fixed mode or no window.
enum SCREEN_MODE : int { SCREEN_MAXIMIZED = 0, SCREEN_MINIMIZED = 1, SCREEN_NORMAL = 2 };

// The colour every frame is cleared to: the transparent key of the layered indicator.
constexpr COLORREF INDICATOR_KEY = RGB(254, 0, 0);

// Own messages of the main window.
constexpr UINT WM_MY_TRAYNOTIFY = WM_USER + 1;
constexpr UINT WM_MY_ACTIVECHANGE = WM_USER + 3;
constexpr UINT WM_MY_SAVE_SETTINGCHANGE = WM_USER + 4;
constexpr UINT WM_MY_SAVE_POSCHANGE = WM_USER + 5;
constexpr UINT WM_MY_STARTED = WM_APP + 105;

// Messages of the outside window-hook module.
constexpr UINT WM_HOOK_CREATE = WM_APP + 1;
constexpr UINT WM_HOOK_MOVE = WM_APP + 2;
constexpr UINT WM_HOOK_MOVESIZE = WM_APP + 3;
constexpr UINT WM_HOOK_ACTIVE = WM_APP + 4;
constexpr UINT WM_HOOK_MINMAX = WM_APP + 5;
constexpr UINT WM_HOOK_KBKANJI = WM_APP + 6;
constexpr UINT WM_HOOK_IME_NOTIFY_SETOPNSTAT = WM_APP + 7;
constexpr UINT WM_HOOK_IME_NOTIFY_SETCONVMOD = WM_APP + 8;
constexpr UINT WM_HOOK_SETTEXT = WM_APP + 9;
constexpr UINT WM_HOOK_WINDOWPOSCHANGING = WM_APP + 10;
constexpr UINT WM_HOOK_TAB = WM_APP + 11;
constexpr UINT WM_HOOK_MOVESIZE2 =
    WM_APP + 13;  // handled like WM_HOOK_MOVESIZE, without a log line
constexpr UINT WM_HOOK_DESTROYWND = WM_APP + 14;

// Timers of the main window.
constexpr UINT_PTR TIMER_TRANS_WAIT = 1;
constexpr UINT_PTR TIMER_TRANS_WATCH = 2;
constexpr UINT_PTR TIMER_BLINK = 3;
constexpr UINT_PTR TIMER_LOOP_WATCH = 4;
