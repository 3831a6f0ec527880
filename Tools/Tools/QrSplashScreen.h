// The start-up splash window, run on a thread of its own.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "MyTools.h"

#define WM_SPLASH_SHOW (WM_APP + 107)
#define WM_SPLASH_HIDE (WM_APP + 108)
#define WM_SPLASH_DESTROY (WM_APP + 110)
#define WM_SPLASH_END (WM_APP + 111)
#define TIMER_SPLASH_FADE 1
#define TIMER_SPLASH_FRAME 2

class QrSplashScreen {
 public:
  QrSplashScreen(HWND hParent, const std::vector<int>& ids, const wchar_t* resType, int alpha,
                 COLORREF colorKey, unsigned int frameMs);
  ~QrSplashScreen();
  QrSplashScreen(const QrSplashScreen&) = delete;
  QrSplashScreen& operator=(const QrSplashScreen&) = delete;

  void requestShow();
  void fadeOut();
  // True once the splash can no longer reach state 2 (its thread or window failed).
  bool failed() const;

  HWND m_hWnd;
  HWND m_hParent;
  std::vector<int> m_ids;
  std::wstring m_resType;
  ATOM m_atom;
  HBRUSH m_hBrush;
  int m_cx, m_cy;
  int m_alpha;
  COLORREF m_colorKey;
  std::vector<IPicturePtr> m_pictures;
  std::atomic<unsigned int> m_index;
  unsigned int m_frameMs;
  HANDLE m_hThread;
  DWORD m_threadId;
  std::atomic<int> m_state;  // 1 created, 2 window up, 3 fading out, 4 destroyed
  int m_fadeCount;
};
