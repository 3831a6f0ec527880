// The watcher: target selection and the IME state of the target.
#include "Watch.h"

std::wstring g_ownExeName;

Watch::Watch()
    : m_dimOff(110),
      m_dimOn(160),
      m_hWnd(NULL),
      m_hTarget(NULL),
      m_hLastActive(NULL),
      m_imeOpen(0),
      m_convMode(0),
      m_blink(0),
      m_alphaOff(130),
      m_alphaOn(180),
      m_blinkSpeed(200),
      m_blinkTimer(0),
      m_blinkCount(0),
      m_show(0),
      m_state(0),
      m_dMode(DISP_FLOAT),
      m_dModePos{100, 0, 250, 50},
      m_transparent(1),
      m_transWaitTimer(0),
      m_transWaitCount(0),
      m_transWatchTimer(0),
      m_dialog(0),
      m_loopInterval(200),
      m_transTimerCnt(0),
      m_savedExStyle(0),
      m_savedStyle(0),
      m_swpExtra(0),
      m_nextFound(0),
      m_hNext(NULL),
      m_hNextStart(NULL),
      m_nonCaptionShow(0) {}

Watch::~Watch() {}

int Watch::start(HWND hWnd) {
  m_hWnd = hWnd;
  m_state = 2;
  return 1;
}
void Watch::onLoopWatch() {}
int Watch::onUpdate(HWND) { return 1; }
void Watch::detectTarget(HWND) {}
void Watch::redrawTarget() {}
void Watch::onImeNotify(HWND) {}
void Watch::onActive(HWND) {}
void Watch::onWindowChange(HWND) {}
void Watch::onUpdateCreate(HWND) {}
boost::shared_array<wchar_t> Watch::getExeName(HWND) {
  boost::shared_array<wchar_t> name(new wchar_t[1]());
  return name;
}
boost::shared_array<wchar_t> Watch::getClassName(HWND) {
  boost::shared_array<wchar_t> name(new wchar_t[1]());
  return name;
}
int Watch::isAppWindow(HWND) { return 0; }
int Watch::isFullScreen(HWND) { return 0; }
int Watch::canOpenProcess(HWND) { return 1; }
int Watch::isMoving(HWND) { return 0; }
void Watch::getNextApp() {}
BOOL CALLBACK Watch::enumNextApp(HWND, LPARAM) { return FALSE; }
int Watch::getImeState() { return 0; }
HWND Watch::getFocusWindow(HWND target) { return target; }
const wchar_t* Watch::labelOf(int) { return L"A"; }
