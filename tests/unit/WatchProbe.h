// The tests' one way into the watcher's fields and inner steps.
#pragma once
#include "Watch.h"

struct WatchProbe {
  static int& dimOff(Watch& w) { return w.m_dimOff; }
  static int& dimOn(Watch& w) { return w.m_dimOn; }
  static HWND& hWnd(Watch& w) { return w.m_hWnd; }
  static HWND& hTarget(Watch& w) { return w.m_hTarget; }
  static HWND& hLastActive(Watch& w) { return w.m_hLastActive; }
  static int& imeOpen(Watch& w) { return w.m_imeOpen; }
  static int& convMode(Watch& w) { return w.m_convMode; }
  static int& blink(Watch& w) { return w.m_blink; }
  static int& alphaOff(Watch& w) { return w.m_alphaOff; }
  static int& alphaOn(Watch& w) { return w.m_alphaOn; }
  static unsigned int& blinkSpeed(Watch& w) { return w.m_blinkSpeed; }
  static UINT_PTR& blinkTimer(Watch& w) { return w.m_blinkTimer; }
  static int& blinkCount(Watch& w) { return w.m_blinkCount; }
  static int& show(Watch& w) { return w.m_show; }
  static int& state(Watch& w) { return w.m_state; }
  static DISP_MODE& dMode(Watch& w) { return w.m_dMode; }
  static RECT& dModePos(Watch& w) { return w.m_dModePos; }
  static int& transparent(Watch& w) { return w.m_transparent; }
  static UINT_PTR& transWaitTimer(Watch& w) { return w.m_transWaitTimer; }
  static int& transWaitCount(Watch& w) { return w.m_transWaitCount; }
  static UINT_PTR& transWatchTimer(Watch& w) { return w.m_transWatchTimer; }
  static int& dialog(Watch& w) { return w.m_dialog; }
  static std::unique_ptr<MyToolTip>& pToolTip(Watch& w) { return w.m_pToolTip; }
  static unsigned int& loopInterval(Watch& w) { return w.m_loopInterval; }
  static int& transTimerCnt(Watch& w) { return w.m_transTimerCnt; }
  static LONG_PTR& savedExStyle(Watch& w) { return w.m_savedExStyle; }
  static LONG_PTR& savedStyle(Watch& w) { return w.m_savedStyle; }
  static std::unique_ptr<C_ThemeData>& pTheme(Watch& w) { return w.m_pTheme; }
  static unsigned int& swpExtra(Watch& w) { return w.m_swpExtra; }
  static int& nextFound(Watch& w) { return w.m_nextFound; }
  static HWND& hNext(Watch& w) { return w.m_hNext; }
  static HWND& hNextStart(Watch& w) { return w.m_hNextStart; }
  static int& nonCaptionShow(Watch& w) { return w.m_nonCaptionShow; }

  static void pushComposited(Watch& w, HDC memDC, POINT pos, SIZE size, BYTE opacity) {
    w.pushComposited(memDC, pos, size, opacity);
  }
  static void setBlinkOpacity(Watch& w, BYTE opacity, bool composited) {
    w.setBlinkOpacity(opacity, composited);
  }
};
