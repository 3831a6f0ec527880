// The start-up splash: a click-through, topmost layered window in the middle of the
// screen that cycles through its pictures and fades out with the last one.
//
// The window, its class and its brush are made, used and freed on the splash thread
// only. The main thread talks to it through sent messages (show, start of the fade),
// so every draw and every write of m_index happens on the splash thread. The window
// procedure reaches the core through the pointer kept with the window; the thread holds
// the core as long as it runs, so no message can reach a freed core, even when the
// object gave up waiting for a hung thread and went.
#include "QrSplashScreen.h"

#include <algorithm>

#include "Dbg.h"

namespace {

constexpr wchar_t kSplashClass[] = L"QrSplashWindow";
constexpr DWORD kStopPollMs = 20;

HINSTANCE programInstance() { return GetModuleHandleW(nullptr); }

}  // namespace

unsigned int nextSplashFrame(unsigned int index, size_t count) {
  const long long next = (long long)index + 1;
  return next > (long long)count - 2 ? 0u : (unsigned int)next;
}

int splashFadeAlpha(int alpha, int stepsLeft) {
  return alpha - ((kSplashFadeSteps - stepsLeft) * alpha) / kSplashFadeSteps;
}

SplashCore::SplashCore(HWND hParent, const std::vector<int>& ids, const wchar_t* resType, int alpha,
                       COLORREF colorKey, unsigned int frameMs)
    : m_hWnd(nullptr),
      m_hParent(hParent),
      m_ids(ids),
      m_resType(resType ? resType : L""),
      m_atom(0),
      m_cx(400),
      m_cy(200),
      m_alpha(alpha),
      m_colorKey(colorKey),
      m_index(0),
      m_frameMs(frameMs),
      m_state(1),
      m_fadeCount(kSplashFadeSteps),
      m_failed(false) {}

QrSplashScreen::QrSplashScreen(HWND hParent, const std::vector<int>& ids, const wchar_t* resType,
                               int alpha, COLORREF colorKey, unsigned int frameMs)
    : m_threadId(0),
      m_stopWaitMs(kSplashStopWaitMs),
      m_core(std::make_shared<SplashCore>(hParent, ids, resType, alpha, colorKey, frameMs)) {
  startThread();
}

QrSplashScreen::~QrSplashScreen() {
  // A hung splash thread keeps its own hold on the core: nothing it uses goes with
  // this object, and the core goes once the thread ends (or with the process).
  if (!stopThread()) DBG_LOG(LOG_ERROR, L"splash thread did not end");
}

// ---------------------------------------------------------------------------
// Main thread

void QrSplashScreen::startThread() {
  // The thread's own hold on the core, handed over to it.
  auto* hold = new std::shared_ptr<SplashCore>(m_core);
  m_hThread.reset(CreateThread(nullptr, 0, threadProc, hold, 0, &m_threadId));
  if (!m_hThread) {
    delete hold;
    DBG_LOG_AT(LOG_ERROR, 116, L"CreateThread");
    m_core->m_failed = true;
  }
}

void QrSplashScreen::requestShow() {
  HWND hWnd = m_core->m_hWnd;
  if (m_core->m_state == 2 && hWnd != nullptr) SendMessageW(hWnd, WM_SPLASH_SHOW, 0, 0);
}

void QrSplashScreen::fadeOut() {
  HWND hWnd = m_core->m_hWnd;
  int up = 2;
  if (hWnd == nullptr || !m_core->m_state.compare_exchange_strong(up, 3)) return;
  // The last picture is drawn at once, on the splash thread like every other draw.
  SendMessageW(hWnd, WM_SPLASH_FADE, 0, 0);
}

int QrSplashScreen::state() const { return m_core->m_state; }

bool QrSplashScreen::failed() const { return m_core->m_failed; }

bool QrSplashScreen::threadRunning() const {
  return m_hThread && WaitForSingleObject(m_hThread.get(), 0) == WAIT_TIMEOUT;
}

// Asks the splash thread to quit until it has ended, handling the messages sent to
// this thread meanwhile (the splash window's owner may be one of its windows). False
// when the thread was still running after m_stopWaitMs.
bool QrSplashScreen::stopThread() {
  if (!m_hThread) return true;
  HANDLE thread = m_hThread.get();
  const ULONGLONG end = GetTickCount64() + m_stopWaitMs;
  for (;;) {
    // Fails harmlessly while the thread has no message queue yet; asked again below.
    PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    const ULONGLONG now = GetTickCount64();
    if (now >= end) break;
    const DWORD wait = (DWORD)std::min<ULONGLONG>(end - now, kStopPollMs);
    const DWORD got = MsgWaitForMultipleObjects(1, &thread, FALSE, wait, QS_SENDMESSAGE);
    if (got == WAIT_OBJECT_0) {
      m_hThread.reset();
      return true;
    }
    if (got == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  m_hThread.reset();
  return false;
}

// ---------------------------------------------------------------------------
// Splash thread

DWORD WINAPI QrSplashScreen::threadProc(LPVOID param) {
  std::unique_ptr<std::shared_ptr<SplashCore>> hold(
      static_cast<std::shared_ptr<SplashCore>*>(param));
  (*hold)->threadMain();
  return 0;
}

void SplashCore::threadMain() {
  m_hBrush.reset(CreateSolidBrush(m_colorKey));
  if (!m_hBrush) DBG_LOG_AT(LOG_ERROR, 159, L"CreateSolidBrush()");
  if (!createWindow()) {
    releaseWindow();
    m_failed = true;
    return;
  }
  loadPictures();
  hide();
  m_state = 2;
  runMessageLoop();
  // Asked to quit before the fade-out was over: the window goes with the thread.
  releaseWindow();
  m_pictures.clear();
}

bool SplashCore::createWindow() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = SplashWndProc;
  wc.hInstance = programInstance();
  wc.hbrBackground = m_hBrush.get();
  wc.lpszClassName = kSplashClass;
  m_atom = RegisterClassExW(&wc);
  // The class owns its background brush from now on and frees it when unregistered.
  if (m_atom != 0) (void)m_hBrush.release();
  HWND hWnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST,
                              kSplashClass, L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, m_cx, m_cy,
                              m_hParent, nullptr, programInstance(), this);
  if (hWnd == nullptr) {
    DBG_LOG_AT(LOG_ERROR, 173, L"CreateWindowEx()");
    return false;
  }
  m_hWnd = hWnd;
  return true;
}

void SplashCore::loadPictures() {
  for (int id : m_ids) {
    IPicturePtr picture = loadPicture(programInstance(), (WORD)id, m_resType.c_str());
    if (picture) {
      m_pictures.push_back(picture);
    } else {
      const unsigned error = (unsigned)GetLastError();
      DBG_LOG_AT(LOG_ERROR, 188, L"LoadBitmap() : [0x%x]", error);
    }
  }
}

void SplashCore::runMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Destroys the window if it is still there and unregisters the class, on this thread.
void SplashCore::releaseWindow() {
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr && !DestroyWindow(hWnd)) DBG_LOG_AT(LOG_ERROR, 287, L"DestroyWindow()");
  if (m_atom != 0) {
    if (!UnregisterClassW(MAKEINTATOM(m_atom), programInstance())) {
      const unsigned error = (unsigned)GetLastError();
      DBG_LOG_AT(LOG_ERROR, 291, L"UnregisterClass() [0x%x]", error);
    }
    m_atom = 0;
  }
  m_hBrush.reset();  // only a brush that no class took
}

LRESULT CALLBACK SplashCore::SplashWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, (LONG_PTR)create->lpCreateParams);
  }
  auto* self = reinterpret_cast<SplashCore*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hWnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    self->m_hWnd = nullptr;
    return DefWindowProcW(hWnd, message, wParam, lParam);
  }
  return self->handleMessage(hWnd, message, wParam, lParam);
}

LRESULT SplashCore::handleMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hWnd, &ps);
      if (hdc != nullptr) render(hdc);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_TIMER:
      onTimer(wParam);
      return 0;
    case WM_SPLASH_SHOW:
      show();
      return 0;
    case WM_SPLASH_HIDE:
      Sleep(1000);
      hide();
      return 0;
    case WM_SPLASH_FADE:
      startFade();
      return 0;
    case WM_SPLASH_DESTROY:
      finish();
      return 0;
    default:
      return DefWindowProcW(hWnd, message, wParam, lParam);
  }
}

void SplashCore::setAlpha(int alpha, int line) {
  if (!SetLayeredWindowAttributes(m_hWnd, m_colorKey, (BYTE)alpha, LWA_COLORKEY | LWA_ALPHA)) {
    const DWORD error = GetLastError();
    DBG_LOG_AT(LOG_ERROR, line, L"SetLayeredWindowAttributes() : %d,%x", (int)error,
               (unsigned)error);
  }
}

void SplashCore::show() {
  setAlpha(m_alpha, 319);
  const int x = (GetSystemMetrics(SM_CXFULLSCREEN) - m_cx) / 2;
  const int y = (GetSystemMetrics(SM_CYFULLSCREEN) - m_cy) / 2;
  if (!SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, m_cx, m_cy, SWP_SHOWWINDOW | SWP_NOACTIVATE)) {
    const DWORD error = GetLastError();
    DBG_LOG_AT(LOG_ERROR, 326, L"SetWindowPos() : %d,%x", (int)error, (unsigned)error);
  }
  if (!SetTimer(m_hWnd, TIMER_SPLASH_FRAME, m_frameMs, nullptr))
    DBG_LOG_AT(LOG_ERROR, 331, L"SetTimer()");
}

void SplashCore::hide() {
  DBG_LOG_AT(LOG_INFO, 383, L"Splash hide()");
  setAlpha(0, 387);
}

// Draws picture m_index from the top-left corner at its pixel size; the window clips it.
void SplashCore::render(HDC hdc) {
  const unsigned int index = m_index;
  if (index >= m_pictures.size()) return;
  IPicture* picture = m_pictures[index];
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Handle(&handle))) {
    DBG_LOG_AT(LOG_ERROR, 430, L"get_Handle()");
    return;
  }
  BITMAP bm = {};
  if (GetObjectW((HGDIOBJ)(UINT_PTR)handle, sizeof bm, &bm) == 0) {
    DBG_LOG_AT(LOG_ERROR, 437, L"GetObject()");
    return;
  }
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (FAILED(picture->get_Width(&width))) {
    DBG_LOG_AT(LOG_ERROR, 445, L"get_Width()");
    return;
  }
  if (FAILED(picture->get_Height(&height))) {
    DBG_LOG_AT(LOG_ERROR, 451, L"get_Height()");
    return;
  }
  m_cx = bm.bmWidth;
  m_cy = bm.bmHeight;
  if (FAILED(
          picture->Render(hdc, 0, 0, bm.bmWidth, bm.bmHeight, 0, height, width, -height, nullptr)))
    DBG_LOG_AT(LOG_ERROR, 475, L"Render()");
}

void SplashCore::renderNow() {
  HWND hWnd = m_hWnd;
  if (hWnd == nullptr) return;  // GetDC(NULL) would be the whole screen's
  UniqueWindowDC dc = getWindowDC(hWnd);
  if (dc) render(dc.get());
}

void SplashCore::onTimer(UINT_PTR id) {
  if (id == TIMER_SPLASH_FRAME) onFrame();
  if (id == TIMER_SPLASH_FADE) onFadeStep();
}

void SplashCore::onFrame() {
  // A tick already queued when the fade began must not draw over the last picture.
  if (m_state != 2) return;
  renderNow();
  m_index = nextSplashFrame(m_index, m_pictures.size());
}

// Only fadeOut starts the fade (state 3): a copy of WM_SPLASH_FADE from elsewhere
// neither stops the frames nor uses up the fade's steps. Each start counts them afresh.
void SplashCore::startFade() {
  if (m_state != 3) return;
  m_fadeCount = kSplashFadeSteps;
  KillTimer(m_hWnd, TIMER_SPLASH_FRAME);
  m_index = m_pictures.empty() ? 0u : (unsigned int)(m_pictures.size() - 1);
  renderNow();
  if (!SetTimer(m_hWnd, TIMER_SPLASH_FADE, kSplashFadeMs, nullptr))
    DBG_LOG_AT(LOG_ERROR, 140, L"SetTimer()");
}

void SplashCore::onFadeStep() {
  const int n = m_fadeCount;
  if (n <= 0) {  // a tick queued before the timer was killed, or a timer left running
    KillTimer(m_hWnd, TIMER_SPLASH_FADE);
    return;
  }
  setAlpha(splashFadeAlpha(m_alpha, n), 341);
  m_fadeCount = n - 1;
  if (m_fadeCount == 0) {
    KillTimer(m_hWnd, TIMER_SPLASH_FADE);
    PostMessageW(m_hWnd, WM_SPLASH_DESTROY, 0, 0);
  }
}

void SplashCore::finish() {
  if (m_state != 3) return;
  releaseWindow();
  m_state = 4;
  if (!PostMessageW(m_hParent, WM_SPLASH_END, 0, 0)) {
    const unsigned error = (unsigned)GetLastError();
    DBG_LOG_AT(LOG_ERROR, 300, L"PostMessage() [0x%x]", error);
  }
  // Nothing is left for this thread to do.
  PostQuitMessage(0);
}
