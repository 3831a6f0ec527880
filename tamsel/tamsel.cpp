// Entry point, message loop and main window procedure of Corvela.
//
// The main window is the indicator itself. WM_CREATE finishes the start-up (splash,
// tray menu, settings file, renderer, watcher); the window procedure hands timers,
// mouse tracking and the hook module's messages to the watcher, and applies the
// settings dialog's result and the moved fixed rectangle to the settings file.
#include "tamsel.h"

#include <shellapi.h>

#include <clocale>
#include <comdef.h>
#include <exception>
#include <functional>

#include <boost/format.hpp>

#include "CMyException.h"
#include "Dbg.h"
#include "MyApp.h"
#include "MyDialogBox.h"
#include "MySerialize.h"
#include "QrSplashScreen.h"
#include "Watch.h"
#include "resource.h"

HINSTANCE g_hInst = nullptr;
HWND g_hMainWnd = nullptr;
WCHAR g_szTitle[MAX_LOADSTRING] = {};
WCHAR g_szWindowClass[MAX_LOADSTRING] = {};
UniqueHMENU g_hMenu;
HMENU g_hTrayMenu = nullptr;

// Declared in this order, so that at process exit whatever they still hold is deleted
// in reverse: splash, dialog box, settings, renderer, watcher.
std::unique_ptr<Watch> g_pWatch;
std::unique_ptr<CMyApp> g_pMyApp;
std::unique_ptr<CMySerialize> g_pSettings;
std::unique_ptr<MyDialogBox> g_pDialogBox;
std::unique_ptr<QrSplashScreen> g_pSplash;

namespace {

// How long WM_CREATE waits for the splash window before going on without it.
constexpr DWORD kSplashWaitMs = 5000;
constexpr DWORD kSplashPollMs = 10;

// Set once the start-up's own WM_MY_STARTED has been handled; later copies of the
// message (posted from outside) are ignored.
bool s_startedHandled = false;

// Saves the record; a failure is logged, never thrown on.
void saveSettings(CMySerialize* settings) {
  runGuarded(L"saveFile()", __LINE__, [&] { settings->saveFile(); });
}

// ---------------------------------------------------------------------------
// Start-up inside WM_CREATE

void startSplash(HWND hWnd) {
  const std::vector<int> ids = {IDB_SPLASH1, IDB_SPLASH2, IDB_SPLASH3, IDB_SPLASH4};
  g_pSplash.reset(new QrSplashScreen(hWnd, ids, L"SPLASH", 192, 0xFFFFFF, 300));

  // The splash reaches state 2 once its window is up. It may never get there (no thread,
  // no window): wait a bounded time and go on without it.
  DWORD waited = 0;
  while (g_pSplash->state() != 2 && !g_pSplash->failed() && waited < kSplashWaitMs) {
    Sleep(kSplashPollMs);
    waited += kSplashPollMs;
  }
  if (g_pSplash->state() == 2) {
    g_pSplash->requestShow();
    return;
  }
  DBG_LOG(LOG_ERROR, L"splash not up (state %d)", (int)g_pSplash->state());
  // A failed splash has no thread left that could touch the object.
  if (g_pSplash->failed()) g_pSplash.reset();
}

LRESULT onCreate(HWND hWnd) {
  startSplash(hWnd);
  g_hMenu.reset(LoadMenuW(g_hInst, MAKEINTRESOURCEW(IDR_TRAYMENU)));
  g_hTrayMenu = GetSubMenu(g_hMenu.get(), 0);
  g_pSettings->loadFile();
  g_pMyApp->create(hWnd);
  g_pWatch->start(hWnd);
  PostMessageW(hWnd, WM_MY_STARTED, 0, 0);
  return 0;
}

void onStarted() {
  if (s_startedHandled) {
    DBG_LOG(LOG_WARN, L"WM_MY_STARTED again : ignored");
    return;
  }
  s_startedHandled = true;
  g_pWatch->getNextApp();
  if (splashMessageApplies(g_pSplash.get(), WM_MY_STARTED)) g_pSplash->fadeOut();
}

void onSplashEnd() {
  if (!splashMessageApplies(g_pSplash.get(), WM_SPLASH_END)) {
    DBG_LOG(LOG_WARN, L"WM_SPLASH_END without a finished splash : ignored");
    return;
  }
  g_pSplash.reset();
}

// ---------------------------------------------------------------------------
// Settings roads

void onSettingChange(WPARAM wParam) {
  DBG_LOG(LOG_INFO, L"receive <WM_MY_SAVE_SETTINGCHANGE>");
  // Only the settings dialog reports here, once it has closed itself; the same message
  // from elsewhere would otherwise end the dialog state under an open dialog.
  if (!acceptSettingChange(g_pWatch->isDialogOpen(), g_pDialogBox.get())) {
    DBG_LOG(LOG_WARN, L"no settings dialog open : ignored");
    return;
  }
  g_pWatch->endSettingDialog();
  if (wParam == 0) return;

  DBG_LOG(LOG_INFO, L"設定変更あり : start.");
  g_pSettings.reset(g_pDialogBox->getSettings());
  saveSettings(g_pSettings.get());
  runGuarded(L"CMyApp::onUpdate()", __LINE__, [] { g_pMyApp->onUpdate(g_pSettings.get()); });
  runGuarded(L"Watch::onUpdate()", __LINE__, [] { g_pWatch->onUpdate(g_pSettings.get()); });
  DBG_LOG(LOG_INFO, L"設定変更あり : end.");
}

void onPositionChange() {
  // Any process may post this message: only a rectangle the record does not hold yet
  // is worth a write of the file.
  const RECT moved = g_pWatch->fixedRect();
  if (EqualRect(&g_pSettings->dModePos, &moved)) {
    DBG_LOG(LOG_INFO, L"fixed rectangle unchanged : nothing to store.");
    return;
  }
  g_pSettings->dModePos = moved;
  DBG_LOG(LOG_INFO, L"CMyApp() : set write store.");
  saveSettings(g_pSettings.get());
}

// ---------------------------------------------------------------------------
// Tray icon and menu

// The shell re-created its taskbar (after a restart of Explorer): every icon of the
// tray went with the old one, so put ours back.
void onTaskbarCreated(HWND hWnd) {
  DBG_LOG(LOG_INFO, L"receive <TaskbarCreated> : tray icon added again.");
  addTrayIcon(hWnd);
}

void showTrayMenu(HWND hWnd) {
  POINT pt;
  GetCursorPos(&pt);
  pt = trayMenuPoint(pt, GetSystemMetrics(SM_CYMENU), GetMenuItemCount(g_hTrayMenu));
  SetForegroundWindow(hWnd);
  TrackPopupMenu(g_hTrayMenu, TPM_CENTERALIGN, pt.x, pt.y, 0, hWnd, nullptr);
}

// Asks for WM_NCMOUSELEAVE once the cursor leaves the window. A move handled after the
// cursor has already left gets no leave from some systems (Windows sends one at once),
// so that leave is taken here; onMouseLeave does nothing while the cursor is over it.
void trackMouseLeave(HWND hWnd) {
  TRACKMOUSEEVENT tme = {};
  tme.cbSize = sizeof tme;
  tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
  tme.hwndTrack = hWnd;
  tme.dwHoverTime = 0;
  TrackMouseEvent(&tme);
  g_pWatch->onMouseLeave();
}

void onPaint(HWND hWnd) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hWnd, &ps);
  g_pWatch->paintFixed(hdc);
  EndPaint(hWnd, &ps);
}

void onDestroy(HWND hWnd) {
  deleteTrayIcon(hWnd);
  g_pWatch->stop();
  // The tray menu goes with the window whose tray icon opened it.
  g_hTrayMenu = nullptr;
  g_hMenu.reset();
  PostQuitMessage(0);
}

LRESULT onCommand(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDM_ABOUT:
      DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_ABOUTBOX), hWnd, aboutDlgProc, 0);
      return 0;
    case IDM_EXIT:
      DestroyWindow(hWnd);
      return 0;
    case IDM_SETTINGS:
      g_pWatch->beginSettingDialog();
      return 0;
    default:
      return DefWindowProcW(hWnd, message, wParam, lParam);
  }
}

// The hook module's messages and the outside redraw request; false when the message is
// not one of them.
bool onHookMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  Watch& watch = *g_pWatch;
  switch (message) {
    case WM_MY_ACTIVECHANGE:
      DBG_LOG(LOG_INFO, L"receive <WM_MY_ACTIVECHANGE>");
      watch.redrawTarget();
      return true;
    case WM_HOOK_CREATE:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_CREATE> : wParam : %0.8x", (unsigned)wParam);
      watch.onUpdateCreate((HWND)wParam);
      return true;
    case WM_HOOK_MOVE:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_MOVE>");
      watch.redrawTarget();
      return true;
    case WM_HOOK_MOVESIZE:
      DBG_LOG(LOG_INFO, L"receive < WM_HOOK_MOVESIZE >");
      watch.onWindowChange((HWND)wParam);
      return true;
    case WM_HOOK_ACTIVE:
      DBG_LOG(LOG_INFO, L"receive < WM_HOOK_ACTIVE > : wParam : %0.8x", (unsigned)wParam);
      watch.onActive((HWND)wParam);
      return true;
    case WM_HOOK_MINMAX:
      DBG_LOG(LOG_INFO, L"receive < WM_HOOK_MINMAX > : wParam : %0.8x", (unsigned)wParam);
      watch.onWindowChange((HWND)wParam);
      return true;
    case WM_HOOK_KBKANJI:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_KBKANJI>");
      watch.redrawTarget();
      return true;
    case WM_HOOK_IME_NOTIFY_SETOPNSTAT:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_IME_NOTIFY_SETOPNSTAT>");
      watch.onImeNotify((HWND)lParam);
      return true;
    case WM_HOOK_IME_NOTIFY_SETCONVMOD:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_IME_NOTIFY_SETCONVMOD> HWND : 0x%0.8x",
              (unsigned)lParam);
      watch.onImeNotify((HWND)lParam);
      return true;
    case WM_HOOK_SETTEXT:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_SETTEXT>");
      watch.redrawTarget();
      return true;
    case WM_HOOK_WINDOWPOSCHANGING:
      DBG_LOG(LOG_INFO, L"receive < WM_HOOK_WINDOWPOSCHANGING >");
      watch.redrawTarget();
      return true;
    case WM_HOOK_TAB:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_TAB>");
      watch.redrawTarget();
      return true;
    case WM_HOOK_MOVESIZE2:
      watch.onWindowChange((HWND)wParam);
      return true;
    case WM_HOOK_DESTROYWND:
      DBG_LOG(LOG_INFO, L"receive <WM_HOOK_DESTROYWND> : wParam : %0.8x", (unsigned)wParam);
      watch.onTargetDestroyed((HWND)wParam);
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Failures that must not leave the window procedure

bool runGuarded(const wchar_t* what, int line, const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (CMyException* e) {
    logException(e, DBG_FILE, line);
    delete e;
  } catch (const _com_error& e) {
    DBG_LOG_AT(LOG_ERROR, line, L"%s : _com_error : 0x%0.8x", what, (unsigned)e.Error());
  } catch (const std::exception& e) {
    DBG_LOG_AT(LOG_ERROR, line, L"%s : %S", what, e.what());
  }
  return false;
}

// ---------------------------------------------------------------------------
// Small decisions of the window procedure

POINT trayMenuPoint(POINT cursor, int menuBarHeight, int itemCount) {
  cursor.y -= menuBarHeight * (itemCount - 1) * 2;
  return cursor;
}

bool isTrayMenuRequest(WPARAM wParam, LPARAM lParam) {
  return wParam == 0 && lParam == WM_RBUTTONUP;
}

LRESULT ncHitTestResult(LRESULT defResult, DISP_MODE dMode, bool transparent) {
  if (defResult == HTCLIENT && dMode == DISP_FIXED && !transparent) return HTCAPTION;
  return defResult;
}

bool acceptSettingChange(bool dialogOpen, const MyDialogBox* box) {
  return dialogOpen && box != nullptr && box->hDlg == nullptr;
}

bool splashMessageApplies(const QrSplashScreen* splash, UINT message) {
  if (!splash) return false;
  switch (message) {
    case WM_MY_STARTED:
      return splash->state() == 2;
    case WM_SPLASH_END:
      return splash->state() == 4;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Window procedure

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return onCreate(hWnd);
    case WM_DESTROY:
      onDestroy(hWnd);
      return 0;
    case WM_PAINT:
      onPaint(hWnd);
      return 0;
    case WM_ERASEBKGND:
      // The layered indicator keeps its picture: erasing it to the class background
      // would show that background until the next draw.
      if (g_pWatch && !g_pWatch->shouldEraseBackground()) return 1;
      return DefWindowProcW(hWnd, message, wParam, lParam);
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {MIN_INDICATOR_SIZE,
                                                               MIN_INDICATOR_SIZE};
      return 0;
    case WM_NCHITTEST:
      return g_pWatch->hitTest(DefWindowProcW(hWnd, message, wParam, lParam));
    case WM_NCMOUSEMOVE:
      trackMouseLeave(hWnd);
      return 0;
    case WM_NCMOUSELEAVE:
      g_pWatch->onMouseLeave();
      return 0;
    case WM_COMMAND:
      return onCommand(hWnd, message, wParam, lParam);
    case WM_TIMER:
      g_pWatch->onTimer(wParam);
      return 0;
    case WM_THEMECHANGED:
      DBG_LOG(LOG_INFO, L"receive << WM_THEMECHANGED >>");
      g_pWatch->onThemeChanged(hWnd);
      return DefWindowProcW(hWnd, message, wParam, lParam);
    case WM_DWMCOMPOSITIONCHANGED:
      DBG_LOG(LOG_INFO, L"receive << WM_DWMCOMPOSITIONCHANGED >>");
      g_pWatch->onThemeChanged(hWnd);
      return DefWindowProcW(hWnd, message, wParam, lParam);
    case WM_MY_TRAYNOTIFY:
      if (isTrayMenuRequest(wParam, lParam)) showTrayMenu(hWnd);
      return 0;
    case WM_MY_SAVE_SETTINGCHANGE:
      onSettingChange(wParam);
      return 0;
    case WM_MY_SAVE_POSCHANGE:
      onPositionChange();
      return 0;
    case WM_MY_STARTED:
      onStarted();
      return 0;
    case WM_SPLASH_END:
      onSplashEnd();
      return 0;
    default:
      if (onHookMessage(message, wParam, lParam)) return 0;
      if (message != 0 && message == taskbarCreatedMessage()) {
        onTaskbarCreated(hWnd);
        return 0;
      }
      return DefWindowProcW(hWnd, message, wParam, lParam);
  }
}

INT_PTR CALLBACK aboutDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

int addTrayIcon(HWND hWnd) {
  NOTIFYICONDATAW nid = {};
  nid.cbSize = sizeof(NOTIFYICONDATAW);  // the Vista layout, with guidItem and hBalloonIcon
  nid.hWnd = hWnd;
  nid.uID = 0;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_MY_TRAYNOTIFY;
  nid.hIcon = LoadIconW(g_hInst, MAKEINTRESOURCEW(IDI_APP));
  lstrcpynW(nid.szTip, g_szTitle, 128);
  Shell_NotifyIconW(NIM_ADD, &nid);
  return 0;
}

int deleteTrayIcon(HWND hWnd) {
  NOTIFYICONDATAW nid = {};
  nid.cbSize = sizeof(NOTIFYICONDATAW);
  nid.hWnd = hWnd;
  nid.uID = 0;
  Shell_NotifyIconW(NIM_DELETE, &nid);
  return 0;
}

// ---------------------------------------------------------------------------
// Entry

ATOM registerWindowClass(HINSTANCE hInstance) {
  WNDCLASSEXW wcex = {};
  wcex.cbSize = sizeof(WNDCLASSEXW);
  wcex.style = CS_HREDRAW | CS_VREDRAW;
  wcex.lpfnWndProc = WndProc;
  wcex.cbClsExtra = 0;
  wcex.cbWndExtra = 0;
  wcex.hInstance = hInstance;
  wcex.hIcon = LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_APP));
  wcex.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wcex.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wcex.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
  wcex.lpszClassName = g_szWindowClass;
  wcex.hIconSm = LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_APP));
  return RegisterClassExW(&wcex);
}

BOOL createMainWindow(HINSTANCE hInstance, int nCmdShow) {
  g_hInst = hInstance;
  HWND hWnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST,
                              g_szWindowClass, g_szTitle, WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, 0,
                              400, 300, nullptr, nullptr, hInstance, nullptr);
  if (!hWnd) return FALSE;
  g_hMainWnd = hWnd;
  SetMenu(hWnd, nullptr);
  ShowWindow(hWnd, nCmdShow);
  UpdateWindow(hWnd);
  addTrayIcon(hWnd);
  return TRUE;
}

BOOL postSettingChange(WPARAM wParam, LPARAM lParam) {
  return PostMessageW(g_hMainWnd, WM_MY_SAVE_SETTINGCHANGE, wParam, lParam);
}

namespace {

// Runs the message loop until WM_QUIT; returns its exit code.
int runMessageLoop(HACCEL hAccel) {
  MSG msg = {};
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) {
      DBG_LOG_LASTERR(LOG_ERROR, L"GetMessage()");
      return -1;
    }
    if (TranslateAcceleratorW(msg.hwnd, hAccel, &msg)) continue;
    HWND hDlg = g_pDialogBox ? g_pDialogBox->hDlg : nullptr;
    if (g_pWatch->isDialogOpen() && hDlg && IsDialogMessageW(hDlg, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return (int)msg.wParam;
}

}  // namespace

void setProcessLocale() { setlocale(LC_CTYPE, "japanese"); }

bool endInSafeMode(int cleanBoot) {
  if (cleanBoot == 0) return false;
  DBG_LOG(LOG_CAUTION, L"システム Safe モード");
  return true;
}

int mainWindowFailed() {
  DBG_LOG_LASTERR(LOG_ERROR, L"CreateWindowEx()");
  return -1;
}

int openMainWindow(HINSTANCE hInstance, int nCmdShow) {
  return createMainWindow(hInstance, nCmdShow) ? 0 : mainWindowFailed();
}

UINT taskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
  // Before the first log line, so that Japanese text reaches the log as code page 932.
  setProcessLocale();

  STRUCT_CMDLINE_INFO cmd = {0, 1, 1, 1, LOG_ERROR};
  parseCommandLine(&cmd, lpCmdLine);
  initLog(L"Corvela.log", cmd.dbgOut, cmd.dllOut, cmd.fileOut, cmd.level);

  LoadStringW(hInstance, IDS_APP_TITLE, g_szTitle, MAX_LOADSTRING);
  LoadStringW(hInstance, IDC_CORVELA, g_szWindowClass, MAX_LOADSTRING);

  if (endInSafeMode(GetSystemMetrics(SM_CLEANBOOT))) return 0;
  if (FindWindowW(g_szWindowClass, g_szTitle)) {
    std::wstring text = (boost::wformat(L"%1%.exeは すでに実行中です") % g_szTitle).str();
    MessageBoxW(nullptr, text.c_str(), L"２重起動", MB_ICONWARNING);
    return 0;
  }

  registerWindowClass(hInstance);
  g_pSettings.reset(new CMySerialize());
  g_pWatch.reset(new Watch());
  g_pMyApp.reset(new CMyApp());

  if (openMainWindow(hInstance, nCmdShow) != 0) return -1;

  g_pDialogBox.reset(new MyDialogBox());
  HACCEL hAccel = LoadAcceleratorsW(hInstance, MAKEINTRESOURCEW(IDR_ACCEL));
  int exitCode = runMessageLoop(hAccel);

  // After a fatal start-up error the loop ends with the window still up: take it down
  // so that its tray icon goes with it.
  if (g_hMainWnd && IsWindow(g_hMainWnd)) DestroyWindow(g_hMainWnd);

  g_pDialogBox.reset();
  DBG_LOG(LOG_INFO, L"Corvela END.");
  return exitCode;
}
