// The start-up splash, in its least form: no thread and no window yet. The object
// reports its window as up at once, shows nothing, and on fadeOut reports itself
// finished to its parent, so the main window's start-up runs its full course.
#include "QrSplashScreen.h"

QrSplashScreen::QrSplashScreen(HWND hParent, const std::vector<int>& ids, const wchar_t* resType,
                               int alpha, COLORREF colorKey, unsigned int frameMs)
    : m_hWnd(nullptr),
      m_hParent(hParent),
      m_ids(ids),
      m_resType(resType ? resType : L""),
      m_atom(0),
      m_hBrush(nullptr),
      m_cx(400),
      m_cy(200),
      m_alpha(alpha),
      m_colorKey(colorKey),
      m_index(0),
      m_frameMs(frameMs),
      m_hThread(nullptr),
      m_threadId(0),
      m_state(2),
      m_fadeCount(30) {}

QrSplashScreen::~QrSplashScreen() { m_pictures.clear(); }

void QrSplashScreen::requestShow() {}

void QrSplashScreen::fadeOut() {
  m_state = 4;
  PostMessageW(m_hParent, WM_SPLASH_END, 0, 0);
}

bool QrSplashScreen::failed() const { return false; }
