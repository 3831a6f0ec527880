// The watcher: picks the window to mark, reads its IME state, places the indicator
// and runs the timers, blinking and the movable fixed mode.
#pragma once
#include <windows.h>

#include <boost/shared_array.hpp>
#include <functional>
#include <memory>
#include <string>

#include "C_ThemeData.h"
#include "FailureLatch.h"
#include "MySerialize.h"
#include "MyToolTip.h"
#include "WatchFrame.h"
#include "WatchLogic.h"

// Tests reach the watcher's fields and inner steps through this one probe.
struct WatchProbe;

class Watch {
 public:
  Watch();
  ~Watch();
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  // Start and end: the tooltip, the theme and the timers; stop() kills the timers
  // and ends the watching (m_state 3), so later hook messages change nothing.
  int start(HWND hWnd);
  void stop();

  // Target selection.
  void onLoopWatch();
  int onUpdate(HWND hWnd);  // the target filter: 0 process the window, 1 skip it
  void detectTarget(HWND hWnd);
  void redrawTarget();
  void onImeNotify(HWND hWnd);
  void onActive(HWND hWnd);
  void onWindowChange(HWND hWnd);
  void onUpdateCreate(HWND hWnd);
  // A window went away: when it was the target, the indicator follows.
  void onTargetDestroyed(HWND hWnd);
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

  // Placement and layered-window update. A draw asked for while a draw runs (from a
  // message sent to the indicator while it waits on the target) runs after it.
  void draw(HWND target, int open, int show);
  int getScreenMode(HWND target, RECT* rect, C_ThemeData** theme, int* captionHeight);
  int getTitleBarInfo();
  void onPaint(HDC hdc, HWND target, int open);
  // WM_PAINT: reads the IME state and, in fixed mode, paints the bordered window.
  void paintFixed(HDC hdc);
  // WM_NCHITTEST: the movable fixed indicator is dragged by its whole area.
  LRESULT hitTest(LRESULT defResult) const;
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

  // The settings dialog is open (between beginSettingDialog and endSettingDialog).
  bool isDialogOpen() const { return m_dialog != 0; }
  // The rectangle of the fixed mode, as the last move left it.
  const RECT& fixedRect() const { return m_dModePos; }
  // The fixed rectangle where the indicator stands: the one above held to the
  // window's minimum size and to the screen.
  RECT usableFixedRect();
  // The picture of the window may be gone (a paint, a style or theme change): the
  // next draw pushes it again.
  void forgetFrame() { m_frameValid = false; }

 private:
  friend struct WatchProbe;

  // Stacks and places the indicator over the target (WatchPlace.cpp).
  void placeOverTarget(HWND target, int show, const Placement& place);
  // With composition: the whole picture, its place and its opacity in one call.
  // Each push is true when the window took the picture; a failure is logged once
  // while it lasts.
  bool pushComposited(HDC memDC, POINT pos, SIZE size, BYTE opacity);
  // Without composition: key and opacity as window attributes, the picture blitted.
  bool pushPlain(HDC windowDC, HDC memDC, SIZE size, BYTE opacity);
  // One draw (draw runs it, and again for a draw asked for meanwhile).
  void drawOnce(HWND target, int open, int show);
  // The picture of a draw made (without the renderer when hidden) and pushed; true
  // when the push succeeded.
  bool pushFrame(const FrameInputs& in);
  // One loop-watch tick: the body, whatever it throws logged, then the timer armed again.
  void loopWatchTick(const std::function<void()>& body);
  // One blink step's opacity, through the road of the composited or the plain indicator.
  void setBlinkOpacity(BYTE opacity, bool composited);
  // The hover countdown's steps (WatchTimer.cpp).
  HoverInput readHoverInput();
  void showCountdown(int waited);
  // The cursor rests on the indicator as far as the hover countdown is concerned.
  bool isHovered();
  // Leaves the movable fixed mode without storing the rectangle (a settings change).
  void endMovable();
  void stopTransWait();
  void armTransWait();

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
  DISP_MODE m_dMode;
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
  // Shared, so that a draw holds the theme it uses even when WM_THEMECHANGED opens a
  // new one while the draw waits on the target.
  std::shared_ptr<C_ThemeData> m_pTheme;
  unsigned int m_swpExtra;
  int m_nextFound;
  HWND m_hNext;
  HWND m_hNextStart;
  int m_nonCaptionShow;

  // The frame pushed last and whether the window still shows it.
  FrameInputs m_lastFrame;
  bool m_frameValid;
  unsigned m_themeGeneration;
  unsigned m_framesPushed;
  FailureLatch m_drawFailure;
  RECT m_loggedFixedRect;  // the stored fixed rectangle whose hold was logged last
  // A draw runs; a draw asked for meanwhile, to run after it.
  bool m_drawing;
  bool m_redrawPending;
  HWND m_pendingTarget;
  int m_pendingOpen;
  int m_pendingShow;
  // The answers of one tick, so that a window is tested and its process opened
  // once per tick: the application-window test and OpenProcess, per window.
  struct TickAnswers {
    bool active = false;
    HWND appWindow = NULL;
    int isApp = 0;
    HWND opened[2] = {NULL, NULL};
    int canOpen[2] = {0, 0};
  };
  TickAnswers m_tick;
  // OpenProcess of the window's process as canOpenProcess answers it, remembered for the tick.
  void rememberOpen(HWND hWnd, int canOpen);
};

// Module-level data of the watcher.
extern std::wstring g_ownExeName;
extern HWND g_hNoAdminWarned;
