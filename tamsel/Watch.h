// The watcher: picks the window to mark, reads its IME state, places the indicator
// and runs the timers, blinking and the movable fixed mode.
#pragma once
#include <windows.h>

#include <boost/shared_array.hpp>
#include <functional>
#include <memory>
#include <string>

#include "C_ThemeData.h"
#include "MySerialize.h"
#include "MyToolTip.h"

class Watch {
 public:
  Watch();
  ~Watch();
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  // Target selection.
  int start(HWND hWnd);
  void onLoopWatch();
  int onUpdate(HWND hWnd);  // the target filter: 0 process the window, 1 skip it
  void detectTarget(HWND hWnd);
  void redrawTarget();
  void onImeNotify(HWND hWnd);
  void onActive(HWND hWnd);
  void onWindowChange(HWND hWnd);
  void onUpdateCreate(HWND hWnd);
  boost::shared_array<wchar_t> getExeName(HWND hWnd);
  boost::shared_array<wchar_t> getClassName(HWND hWnd);
  int isAppWindow(HWND hWnd);
  int isFullScreen(HWND hWnd);
  int canOpenProcess(HWND hWnd);
  int isMoving(HWND hWnd);
  void getNextApp();
  static BOOL CALLBACK enumNextApp(HWND hWnd, LPARAM lParam);

  // IME state and label.
  int getImeState();
  HWND getFocusWindow(HWND target);
  static const wchar_t* labelOf(int mode);

  // Placement and layered-window update.
  void draw(HWND target, int open, int show);
  int getScreenMode(HWND target, RECT* rect, C_ThemeData** theme, int* captionHeight);
  int getTitleBarInfo();
  void onPaint(HDC hdc, HWND target, int open);
  void setTopmost(int on);
  BOOL isCompositionEnabled();
  void onThemeChanged(HWND hwnd);
  // False while the indicator is layered: the window procedure then leaves WM_ERASEBKGND
  // unerased, so a resize does not wipe the layered picture until the next draw.
  bool shouldEraseBackground();

  // Timers, blinking and the movable fixed mode.
  void timerStartBlink();
  void timerStartTransWatch();
  void timerStartLoopWatch();
  void onTimer(UINT_PTR id);
  void blinkStep();
  void update(const CMySerialize* settings);
  void onUpdate(const CMySerialize* settings);
  int onTransWatch();
  int transparentOff();
  int isCursorOver();
  int switchStyle(int restore);
  void onMouseLeave();
  void clampToScreen(RECT* rect);
  void beginSettingDialog();
  void endSettingDialog();
  void setForeWin(HWND hwnd);
  void onTransWaitTick();  // one TIMER_TRANS_WAIT tick of the hover countdown

  int m_dimOff;
  int m_dimOn;
  HWND m_hWnd;
  HWND m_hTarget;
  HWND m_hLastActive;
  int m_imeOpen;
  int m_convMode;
  int m_blink;
  int m_alphaOff;
  int m_alphaOn;
  unsigned int m_blinkSpeed;
  UINT_PTR m_blinkTimer;
  int m_blinkCount;
  int m_show;
  int m_state;  // 0 constructed, 2 started, 3 ended
  int m_dMode;
  RECT m_dModePos;
  int m_transparent;
  UINT_PTR m_transWaitTimer;
  int m_transWaitCount;
  UINT_PTR m_transWatchTimer;
  int m_dialog;
  std::unique_ptr<MyToolTip> m_pToolTip;
  unsigned int m_loopInterval;
  int m_transTimerCnt;
  LONG_PTR m_savedExStyle;
  LONG_PTR m_savedStyle;
  std::unique_ptr<C_ThemeData> m_pTheme;
  unsigned int m_swpExtra;
  int m_nextFound;
  HWND m_hNext;
  HWND m_hNextStart;
  int m_nonCaptionShow;
};

// Module-level data of the watcher.
extern std::wstring g_ownExeName;
extern HWND g_hNoAdminWarned;

// The target filter of Watch::onUpdate(HWND) as a pure function. Each question is
// asked at most once and only when the rules before it did not decide, in the order
// of the rules (the application-window test enumerates every top-level window).
struct TargetFilterQuestions {
  int state = 0;        // Watch::m_state
  int transparent = 0;  // Watch::m_transparent
  int dialog = 0;       // Watch::m_dialog
  int dMode = 0;        // Watch::m_dMode
  int nonCaptionShow = 0;
  std::function<bool()> isOwnExe;      // the window belongs to this program's executable
  std::function<bool()> isIndicator;   // the window is the indicator
  std::function<bool()> isDialog;      // the window is the settings dialog
  std::function<bool()> isTabPage;     // the window is a page of the settings dialog
  std::function<bool()> isToolTip;     // the window is the tooltip
  std::function<bool()> isFullScreen;  // the window is exactly screen-sized
  std::function<LONG_PTR()> style;     // the window's GWL_STYLE
  std::function<int()> titleLength;    // GetWindowTextLengthW of the window
  std::function<bool()> targetAlive;   // IsWindow(m_hTarget)
  std::function<bool()> isAppWindow;   // the application-window test of the window
};
// The number (1 to 10) of the first rule that decides; only rule 9 lets the window
// through (Watch::onUpdate answers 0), rule 10 is the "no live target" road.
int targetFilterRule(const TargetFilterQuestions& q);

// Watch::isMoving's memory: the window looked at last and its rectangle then.
struct MoveTracker {
  HWND wnd = NULL;
  RECT rect = {0, 0, 0, 0};
  // 1 when `now` (the window's rectangle, all zero if unknown) differs from the last
  // look at the same window; the first look at a window never counts as moving.
  int look(HWND h, const RECT& now);
};

// The window class name followed by ".EXE".
std::wstring ownExeNameOf(const wchar_t* windowClass);
// The executable's base name, upper-cased under the global locale, equals ownExeName.
bool isOwnExeName(const wchar_t* exeName, const std::wstring& ownExeName);
