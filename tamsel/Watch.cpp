// The watcher: the whole object, its choice of the target window and the IME state of
// that window. Placement and drawing live in WatchPlace.cpp, timers in WatchTimer.cpp.
#include "Watch.h"

#include <psapi.h>

#include <boost/algorithm/string/case_conv.hpp>
#include <cstring>
#include <locale>

#include "Dbg.h"
#include "MyDialogBox.h"
#include "PlatformDefs.h"
#include "QrEnumWnd.h"
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

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool isZeroRect(const RECT& r) {
  return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
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

// ---------------------------------------------------------------- pure helpers

int targetFilterRule(const TargetFilterQuestions& q) {
  if (q.state != 2 || q.transparent == 0) return 1;
  if (q.isOwnExe()) return 2;
  if (q.isIndicator()) return 3;
  if (q.dialog && q.isDialog()) return 4;
  if (q.dialog && q.isTabPage()) return 5;
  if (q.isToolTip()) return 6;
  if (q.isFullScreen() && (q.style() & WS_CAPTION) == 0 && q.nonCaptionShow == 0) return 7;
  if (q.dMode == DISP_FLOAT && (q.style() & WS_POPUP) != 0 && q.titleLength() == 0) return 8;
  if (q.targetAlive() || q.isAppWindow()) return 9;
  return 10;
}

int MoveTracker::look(HWND h, const RECT& now) {
  if (h != wnd) {
    wnd = h;
    rect = now;
    return 0;
  }
  if (isZeroRect(rect)) {
    rect = now;
    return 0;
  }
  if (sameRect(now, rect)) return 0;
  rect = now;
  return 1;
}

std::wstring ownExeNameOf(const wchar_t* windowClass) {
  return std::wstring(windowClass) + L".EXE";
}

bool isOwnExeName(const wchar_t* exeName, const std::wstring& ownExeName) {
  std::wstring upper = boost::algorithm::to_upper_copy(std::wstring(exeName), std::locale());
  return upper == ownExeName;
}

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
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : start() : m_hWnd[%x]\n", DBG_FILE, __LINE__, L"INFO",
           hex32(hWnd));
  m_hWnd = hWnd;
  if (g_pSettings) update(g_pSettings.get());
  if (m_blink) timerStartBlink();
  if (m_dMode == DISP_FIXED) timerStartTransWatch();
  m_pToolTip.reset(new MyToolTip(&s_toolTipFont));
  m_pToolTip->onCreate(hWnd);
  m_pTheme.reset(new C_ThemeData(hWnd));
  timerStartLoopWatch();
  m_state = 2;
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : start() : end.\n", DBG_FILE, __LINE__, L"INFO");
  return 1;
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
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : onUpdate() : 処理します : %s : 記憶なし\n", DBG_FILE,
             __LINE__, L"INFO", exeName.get());
    detectTarget(p);
  }
  return 1;
}

void Watch::detectTarget(HWND h) {
  m_show = 1;
  if (!IsWindow(h)) {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : detectTarget() : No Target Window.\n", DBG_FILE,
             __LINE__, L"INFO");
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
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : Active : [%s : %s], [old:%x,new:%x]\n", DBG_FILE, __LINE__,
           L"INFO", getExeName(h).get(), getClassName(h).get(), hex32(m_hLastActive), hex32(h));
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
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : Active : [%s : %s], [old:%x,new:%x]\n", DBG_FILE, __LINE__,
           L"INFO", getExeName(h).get(), className.get(), hex32(m_hLastActive), hex32(h));
  if (wcscmp(className.get(), L"IME") != 0) return;
  m_hLastActive = h;
  if (onUpdate(h) == 1) return;
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : onUpdateCreate() : 処理します : %s\n", DBG_FILE, __LINE__,
           L"INFO", getExeName(h).get());
  detectTarget(h);
}

// ---------------------------------------------------------------- window tests

boost::shared_array<wchar_t> Watch::getExeName(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == 0) {
    dbgPrint(LOG_WARN, L"%-24s(%5d) %-8s : GetWindowThreadProcessId() : NULL : hWnd : %0.8x\n",
             DBG_FILE, __LINE__, L"WARN", hex32(h));
    return emptyName();
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == NULL) {
    DWORD err = GetLastError();
    if (pid != s_lastNamePid) {
      dbgPrint(LOG_WARN, L"%-24s(%5d) %-8s : OpenProcess() : NULL[0x%x:%d]\n", DBG_FILE, __LINE__,
               L"WARN", (unsigned)err, (int)err);
      s_lastNamePid = pid;
    }
    return emptyName();
  }
  DWORD size = 32;
  boost::shared_array<wchar_t> name(new wchar_t[size + 1]());
  DWORD n = GetModuleBaseNameW(process, NULL, name.get(), size);
  while (n != 0 && n >= size) {  // possibly cut short: ask again with more room
    size += 32;
    name.reset(new wchar_t[size + 1]());
    n = GetModuleBaseNameW(process, NULL, name.get(), size);
  }
  if (n == 0) {
    dbgPrint(LOG_WARN, L"%-24s(%5d) %-8s : GetModuleBaseName() : NULL : HANDLE : 0x%0.8x\n",
             DBG_FILE, __LINE__, L"WARN", hex32(process));
    name[0] = L'\0';
  } else {
    name[n] = L'\0';
  }
  CloseHandle(process);
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
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : GetWindowRect() : [%x]\n", DBG_FILE, __LINE__, L"ERROR",
             (unsigned)GetLastError());
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
    dbgPrint(LOG_WARN, L"%-24s(%5d) %-8s : GetWindowThreadProcessId() : NULL : hWnd : %0.8x\n",
             DBG_FILE, __LINE__, L"WARN", hex32(h));
    return 0;
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process != NULL) {
    CloseHandle(process);
    return 1;
  }
  DWORD err = GetLastError();
  if (pid != s_lastDeniedPid) {
    dbgPrint(LOG_WARN, L"%-24s(%5d) %-8s : OpenProcess() : NULL[0x%x:%d]\n", DBG_FILE, __LINE__,
             L"WARN", (unsigned)err, (int)err);
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
    dbgPrint(LOG_WARN, L"%-24s(%5d) %-8s : getNextApp()\n", DBG_FILE, __LINE__, L"WARN");
    return;
  }
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : To最前面 [%x][%s]\n", DBG_FILE, __LINE__, L"INFO",
           hex32(a), getClassName(a).get());
  setForeWin(a);
}

BOOL CALLBACK Watch::enumNextApp(HWND w, LPARAM lParam) {
  Watch* self = reinterpret_cast<Watch*>(lParam);
  if (w == self->m_hNextStart) {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : ターゲット検出\n", DBG_FILE, __LINE__, L"INFO");
    self->m_nextFound = 1;
    return TRUE;
  }
  if (self->m_nextFound && (GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : 次のウインドウ [%x]\n", DBG_FILE, __LINE__, L"INFO",
             hex32(w));
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
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : getImeState() : No Target Window.\n", DBG_FILE, __LINE__,
             L"INFO");
    m_imeOpen = 0;
    return 0;
  }
  HWND focus = getFocusWindow(m_hTarget);
  // Across processes some platforms give no IME window here; the target then reads as closed.
  HWND ime = ImmGetDefaultIMEWnd(focus);
  if (ime == NULL) {
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : getImeState() : IME No Target Window.\n", DBG_FILE,
             __LINE__, L"INFO");
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
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : GetWindowThreadProcessId(target)\n", DBG_FILE, __LINE__,
             L"ERROR");
    return target;
  }
  GUITHREADINFO info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(thread, &info)) {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : GetGUIThreadInfo()\n", DBG_FILE, __LINE__, L"ERROR");
    return target;
  }
  return info.hwndFocus != NULL ? info.hwndFocus : target;
}

const wchar_t* Watch::labelOf(int mode) {
  const IME_LABEL_ROW* row = s_imeLabels;
  while (row->mode != -1 && row->mode != mode) ++row;
  return row->label;
}
