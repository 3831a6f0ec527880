// The watcher: the whole object, its choice of the target window and the IME state of
// that window. Placement and drawing live in WatchPlace.cpp, timers in WatchTimer.cpp.
#include "Watch.h"

#include <psapi.h>

#include <cstring>

#include "Dbg.h"
#include "MyDialogBox.h"
#include "PlatformDefs.h"
#include "QrEnumWnd.h"
#include "UniqueAny.h"
#include "tamsel.h"

std::wstring g_ownExeName;

namespace {

MoveTracker s_move;           // Watch::isMoving
DWORD s_lastNamePid = 0;      // last OpenProcess failure logged by Watch::getExeName
DWORD s_lastDeniedPid = 0;    // last OpenProcess failure logged by Watch::canOpenProcess
LOGFONTW s_toolTipFont = {};  // filled by the tooltip

// Handles are logged through %x as their low 32 bits.
unsigned hex32(const void* handle) { return (unsigned)(UINT_PTR)handle; }

boost::shared_array<wchar_t> emptyName() { return boost::shared_array<wchar_t>(new wchar_t[1]()); }

// One row of the label table: a conversion mode, what it is, and the label drawn for it.
struct IME_LABEL_ROW {
  int mode;
  const wchar_t* name;
  const wchar_t* label;
};

const IME_LABEL_ROW s_imeLabels[] = {
    {0x00, L"かな入力 半角英数", L"_A"},
    {0x03, L"かな入力 半角カナ", L"_\uFF71"},
    {0x08, L"かな入力 全角英数", L"\uFF21"},
    {0x09, L"かな入力 全角ひらがな", L"\u3042"},
    {0x0B, L"かな入力 全角カタカナ", L"\u30A2"},
    {0x10, L"ローマ字入力 半角英数", L"_A"},
    {0x13, L"ローマ字入力 半角カタカナ", L"_\uFF71"},
    {0x18, L"ローマ字入力 全角英数", L"\uFF21"},
    {0x19, L"ローマ字入力 全角ひらがな", L"\u3042"},
    {0x1B, L"ローマ字入力 全角カタカナ", L"\u30A2"},
    {-1, L"END", L"A"},
};

// The window rectangle, all zero when it cannot be read.
RECT windowRectOrZero(HWND h) {
  RECT r = {0, 0, 0, 0};
  if (!GetWindowRect(h, &r)) SetRectEmpty(&r);
  return r;
}

// One WM_IME_CONTROL query, bounded by 100 ms; false when it failed or timed out.
bool imeControl(HWND ime, WPARAM command, int* answer) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(ime, WM_IME_CONTROL, command, 0, SMTO_ABORTIFHUNG, 100, &result)) {
    return false;
  }
  *answer = (int)(DWORD)result;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- the object

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
      m_nonCaptionShow(0) {
  g_ownExeName = ownExeNameOf(g_szWindowClass);
}

Watch::~Watch() {
  m_pTheme.reset();
  m_pToolTip.reset();
}

int Watch::start(HWND hWnd) {
  DBG_LOG(LOG_INFO, L"start() : m_hWnd[%x]", hex32(hWnd));
  m_hWnd = hWnd;
  if (g_pSettings) update(g_pSettings.get());
  if (m_blink) timerStartBlink();
  if (m_dMode == DISP_FIXED) timerStartTransWatch();
  m_pToolTip.reset(new MyToolTip(&s_toolTipFont));
  m_pToolTip->onCreate(hWnd);
  m_pTheme.reset(new C_ThemeData(hWnd));
  timerStartLoopWatch();
  m_state = 2;
  DBG_LOG(LOG_INFO, L"start() : end.");
  return 1;
}

void Watch::stop() {
  if (m_blinkTimer != 0) {
    KillTimer(m_hWnd, m_blinkTimer);
    m_blinkTimer = 0;
  }
  KillTimer(m_hWnd, TIMER_LOOP_WATCH);
  m_state = 3;
}

// ---------------------------------------------------------------- target selection

void Watch::onLoopWatch() {
  HWND fg = GetForegroundWindow();
  if (fg == NULL) {
    if (m_transparent) draw(m_hWnd, 0, 0);
    return;
  }
  if (onUpdate(fg) == 1) {
    if (m_transparent) draw(fg, 0, 0);
    return;
  }
  if (isAppWindow(fg)) m_hTarget = fg;
  detectTarget(fg);
}

int Watch::onUpdate(HWND p) {
  boost::shared_array<wchar_t> exeName;  // read once, for rule 2 and the rule-10 log line
  TargetFilterQuestions q;
  q.state = m_state;
  q.transparent = m_transparent;
  q.dialog = m_dialog;
  q.dMode = m_dMode;
  q.nonCaptionShow = m_nonCaptionShow;
  q.isOwnExe = [&] {
    exeName = getExeName(p);
    return isOwnExeName(exeName.get(), g_ownExeName);
  };
  q.isIndicator = [&] { return p == m_hWnd; };
  q.isDialog = [&] { return g_pDialogBox && p == g_pDialogBox->hDlg; };
  q.isTabPage = [&] { return g_pDialogBox && g_pDialogBox->isTabPage(p) != 0; };
  q.isToolTip = [&] { return m_pToolTip && p == m_pToolTip->m_hWnd; };
  q.isFullScreen = [&] { return isFullScreen(p) != 0; };
  q.style = [&] { return GetWindowLongPtrW(p, GWL_STYLE); };
  q.titleLength = [&] { return GetWindowTextLengthW(p); };
  q.targetAlive = [&] { return IsWindow(m_hTarget) != 0; };
  q.isAppWindow = [&] { return isAppWindow(p) != 0; };

  int rule = targetFilterRule(q);
  if (rule == 9) return 0;
  if (rule == 10) {
    DBG_LOG(LOG_INFO, L"onUpdate() : 処理します : %s : 記憶なし", exeName.get());
    detectTarget(p);
  }
  return 1;
}

void Watch::detectTarget(HWND h) {
  m_show = 1;
  if (!IsWindow(h)) {
    DBG_LOG(LOG_INFO, L"detectTarget() : No Target Window.");
    m_show = 0;
  }
  if ((h == m_hWnd && m_transparent) || m_dialog || !isAppWindow(h) || isMoving(h)) m_show = 0;
  int open = m_show == 1 ? getImeState() : 0;
  draw(h, open, m_show);
}

void Watch::redrawTarget() {
  if (m_state == 2 && m_transparent && m_hTarget != NULL && m_hTarget != m_hWnd) {
    detectTarget(m_hTarget);
  }
}

void Watch::onImeNotify(HWND h) {
  wchar_t className[32] = {};
  if (GetClassNameW(h, className, 32) == 0) {
    dbgPrintInfo(L"ERROR : GetClassName() : HWND : 0x%0.8x\n", hex32(h));
    return;
  }
  if (wcscmp(className, L"GIMEJaUIWindow") == 0 || wcscmp(className, L"IME") == 0) return;
  redrawTarget();
}

void Watch::onActive(HWND h) {
  if (h == m_hLastActive) return;
  DBG_LOG(LOG_INFO, L"Active : [%s : %s], [old:%x,new:%x]", getExeName(h).get(),
          getClassName(h).get(), hex32(m_hLastActive), hex32(h));
  m_hLastActive = h;
  onWindowChange(h);
}

void Watch::onWindowChange(HWND h) {
  if (onUpdate(h) == 0) {
    if (isAppWindow(h)) m_hTarget = h;
    detectTarget(h);
  } else if (m_transparent) {
    draw(h, 0, 0);
  }
}

void Watch::onUpdateCreate(HWND h) {
  if (h == m_hLastActive) return;
  boost::shared_array<wchar_t> className = getClassName(h);
  DBG_LOG(LOG_INFO, L"Active : [%s : %s], [old:%x,new:%x]", getExeName(h).get(), className.get(),
          hex32(m_hLastActive), hex32(h));
  if (wcscmp(className.get(), L"IME") != 0) return;
  m_hLastActive = h;
  if (onUpdate(h) == 1) return;
  DBG_LOG(LOG_INFO, L"onUpdateCreate() : 処理します : %s", getExeName(h).get());
  detectTarget(h);
}

void Watch::onTargetDestroyed(HWND h) {
  if (h == m_hTarget) detectTarget(h);
}

// ---------------------------------------------------------------- window tests

boost::shared_array<wchar_t> Watch::getExeName(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == 0) {
    DBG_LOG(LOG_WARN, L"GetWindowThreadProcessId() : NULL : hWnd : %0.8x", hex32(h));
    return emptyName();
  }
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) {
    DWORD err = GetLastError();
    if (pid != s_lastNamePid) {
      DBG_LOG(LOG_WARN, L"OpenProcess() : NULL[0x%x:%d]", (unsigned)err, (int)err);
      s_lastNamePid = pid;
    }
    return emptyName();
  }
  DWORD size = 32;
  boost::shared_array<wchar_t> name(new wchar_t[size + 1]());
  DWORD n = GetModuleBaseNameW(process.get(), NULL, name.get(), size);
  while (n != 0 && n >= size) {  // possibly cut short: ask again with more room
    size += 32;
    name.reset(new wchar_t[size + 1]());
    n = GetModuleBaseNameW(process.get(), NULL, name.get(), size);
  }
  if (n == 0) {
    DBG_LOG(LOG_WARN, L"GetModuleBaseName() : NULL : HANDLE : 0x%0.8x", hex32(process.get()));
    name[0] = L'\0';
  } else {
    name[n] = L'\0';
  }
  return name;
}

boost::shared_array<wchar_t> Watch::getClassName(HWND h) {
  int size = 16;
  boost::shared_array<wchar_t> name(new wchar_t[size + 1]());
  int n = GetClassNameW(h, name.get(), size);
  while (n != 0 && n >= size - 1) {  // filled to the brim: the name may be longer
    size += 16;
    name.reset(new wchar_t[size + 1]());
    n = GetClassNameW(h, name.get(), size);
  }
  name[n > 0 ? n : 0] = L'\0';
  return name;
}

int Watch::isAppWindow(HWND h) {
  std::unique_ptr<QrEnumWnd> test(new QrEnumWnd());
  return test->IsApp(h);
}

int Watch::isFullScreen(HWND h) {
  RECT r;
  if (!GetWindowRect(h, &r)) {
    DBG_LOG(LOG_ERROR, L"GetWindowRect() : [%x]", (unsigned)GetLastError());
    return 0;
  }
  return (r.right - r.left) == GetSystemMetrics(SM_CXSCREEN) &&
         (r.bottom - r.top) == GetSystemMetrics(SM_CYSCREEN);
}

int Watch::canOpenProcess(HWND h) {
  if (!IsWindow(h)) return 0;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == 0) {
    DBG_LOG(LOG_WARN, L"GetWindowThreadProcessId() : NULL : hWnd : %0.8x", hex32(h));
    return 0;
  }
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (process) return 1;
  DWORD err = GetLastError();
  if (pid != s_lastDeniedPid) {
    DBG_LOG(LOG_WARN, L"OpenProcess() : NULL[0x%x:%d]", (unsigned)err, (int)err);
    s_lastDeniedPid = pid;
  }
  return err == ERROR_ACCESS_DENIED ? 0 : 1;
}

int Watch::isMoving(HWND h) { return s_move.look(h, windowRectOrZero(h)); }

void Watch::getNextApp() {
  m_hNextStart = m_hWnd;
  m_nextFound = 0;
  m_hNext = NULL;
  EnumWindows(enumNextApp, reinterpret_cast<LPARAM>(this));
  HWND a = GetAncestor(m_hNext, GA_ROOTOWNER);
  if (a == NULL) {
    DBG_LOG(LOG_WARN, L"getNextApp()");
    return;
  }
  DBG_LOG(LOG_INFO, L"To最前面 [%x][%s]", hex32(a), getClassName(a).get());
  setForeWin(a);
}

BOOL CALLBACK Watch::enumNextApp(HWND w, LPARAM lParam) {
  Watch* self = reinterpret_cast<Watch*>(lParam);
  if (w == self->m_hNextStart) {
    DBG_LOG(LOG_INFO, L"ターゲット検出");
    self->m_nextFound = 1;
    return TRUE;
  }
  if (self->m_nextFound && (GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
    DBG_LOG(LOG_INFO, L"次のウインドウ [%x]", hex32(w));
    self->m_hNext = w;
    return FALSE;
  }
  return TRUE;
}

// ---------------------------------------------------------------- IME state and label

int Watch::getImeState() {
  // A failure reads as a closed IME: the open status is cleared so that the indicator
  // shows the closed label at the closed opacity; the conversion mode is kept.
  if (!IsWindow(m_hTarget)) {
    DBG_LOG(LOG_INFO, L"getImeState() : No Target Window.");
    m_imeOpen = 0;
    return 0;
  }
  HWND focus = getFocusWindow(m_hTarget);
  // Across processes some platforms give no IME window here; the target then reads as closed.
  HWND ime = ImmGetDefaultIMEWnd(focus);
  if (ime == NULL) {
    DBG_LOG(LOG_INFO, L"getImeState() : IME No Target Window.");
    m_imeOpen = 0;
    return 0;
  }
  int open = 0;
  imeControl(ime, IMC_GETOPENSTATUS, &open);  // stays 0 when it failed or timed out
  if (open != 0) {
    int mode = 0;
    if (imeControl(ime, IMC_GETCONVERSIONMODE, &mode)) m_convMode = mode;
  }
  m_imeOpen = open;
  return open;
}

HWND Watch::getFocusWindow(HWND target) {
  DWORD thread = GetWindowThreadProcessId(target, NULL);
  if (thread == 0) {
    DBG_LOG(LOG_ERROR, L"GetWindowThreadProcessId(target)");
    return target;
  }
  GUITHREADINFO info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(thread, &info)) {
    DBG_LOG(LOG_ERROR, L"GetGUIThreadInfo()");
    return target;
  }
  return info.hwndFocus != NULL ? info.hwndFocus : target;
}

const wchar_t* Watch::labelOf(int mode) {
  const IME_LABEL_ROW* row = s_imeLabels;
  while (row->mode != -1 && row->mode != mode) ++row;
  return row->label;
}
