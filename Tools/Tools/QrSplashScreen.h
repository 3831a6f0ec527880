// The start-up splash window, run on a thread of its own.
//
// The main thread creates the object (which starts the thread), waits until the window
// is up (state 2), asks for it to be shown and, once the program is ready, starts the
// fade-out; the splash then reports its end to its parent with WM_SPLASH_END. Every
// draw and every change of the shown picture happens on the splash thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "MyTools.h"
#include "UniqueAny.h"

#define WM_SPLASH_SHOW (WM_APP + 107)
#define WM_SPLASH_HIDE (WM_APP + 108)
#define WM_SPLASH_DESTROY (WM_APP + 110)
#define WM_SPLASH_END (WM_APP + 111)
// Starts the fade-out on the splash thread (sent by fadeOut).
#define WM_SPLASH_FADE (WM_APP + 112)
#define TIMER_SPLASH_FADE 1
#define TIMER_SPLASH_FRAME 2

constexpr int kSplashFadeSteps = 30;
constexpr UINT kSplashFadeMs = 50;

// The picture the frame step shows after `index` among `count` pictures: all but the
// last picture in turn, always the first when there are fewer than three.
unsigned int nextSplashFrame(unsigned int index, size_t count);
// The opacity the fade step sets with `stepsLeft` steps to go (30 down to 1).
int splashFadeAlpha(int alpha, int stepsLeft);

// Everything the splash thread works on: its window, class, brush and pictures and the
// state both threads share. The object and its thread each hold it; it goes with the
// last of them, so a splash thread that outlives its object still has all it uses.
class SplashCore {
 public:
  SplashCore(HWND hParent, const std::vector<int>& ids, const wchar_t* resType, int alpha,
             COLORREF colorKey, unsigned int frameMs);
  SplashCore(const SplashCore&) = delete;
  SplashCore& operator=(const SplashCore&) = delete;

  // The body of the splash thread.
  void threadMain();

  std::atomic<HWND> m_hWnd;
  HWND m_hParent;
  std::vector<int> m_ids;
  std::wstring m_resType;
  ATOM m_atom;
  UniqueHBRUSH m_hBrush;  // until the window class takes it over
  int m_cx, m_cy;
  int m_alpha;
  COLORREF m_colorKey;
  std::vector<IPicturePtr> m_pictures;
  std::atomic<unsigned int> m_index;
  unsigned int m_frameMs;
  std::atomic<int> m_state;  // 1 created, 2 window up, 3 fading out, 4 destroyed
  int m_fadeCount;
  std::atomic<bool> m_failed;

 private:
  static LRESULT CALLBACK SplashWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool createWindow();
  void loadPictures();
  void runMessageLoop();
  void releaseWindow();
  LRESULT handleMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  void show();
  void hide();
  void render(HDC hdc);
  void renderNow();
  void onTimer(UINT_PTR id);
  void onFrame();
  void onFadeStep();
  void startFade();
  void finish();
  void setAlpha(int alpha, int line);
};

constexpr DWORD kSplashStopWaitMs = 5000;

class QrSplashScreen {
 public:
  QrSplashScreen(HWND hParent, const std::vector<int>& ids, const wchar_t* resType, int alpha,
                 COLORREF colorKey, unsigned int frameMs);
  // Asks the splash thread to quit and waits for it at most m_stopWaitMs. A thread that
  // does not end by then keeps the core it works on; the object goes all the same.
  ~QrSplashScreen();
  QrSplashScreen(const QrSplashScreen&) = delete;
  QrSplashScreen& operator=(const QrSplashScreen&) = delete;

  void requestShow();
  void fadeOut();
  // 1 created, 2 window up, 3 fading out, 4 destroyed.
  int state() const;
  // True once the splash can no longer reach state 2 (its thread or window failed).
  bool failed() const;
  // True while the splash thread runs.
  bool threadRunning() const;
  SplashCore& core() const { return *m_core; }

  UniqueHandle m_hThread;
  DWORD m_threadId;
  DWORD m_stopWaitMs;  // how long the destructor waits for the splash thread

 private:
  static DWORD WINAPI threadProc(LPVOID param);
  void startThread();
  bool stopThread();

  std::shared_ptr<SplashCore> m_core;
};
