// The application-window test: one EnumWindows pass over the top-level windows.
#include "QrEnumWnd.h"

#include "Dbg.h"

namespace {

// A window's style has WS_DISABLED.
bool isDisabled(HWND w) { return (GetWindowLongPtrW(w, GWL_STYLE) & WS_DISABLED) != 0; }

// Parent and owner chains are short; this only guards against a broken chain.
constexpr int MAX_CHAIN = 4096;

}  // namespace

QrEnumWnd::QrEnumWnd() : m_hWndCheck(NULL), m_found(0) {}

int QrEnumWnd::IsApp(HWND hWnd) {
  m_found = 0;
  m_hWndCheck = hWnd;
  SetLastError(0);
  if (!EnumWindows(enumProc, reinterpret_cast<LPARAM>(this))) {
    DWORD err = GetLastError();
    if (err != 0) {
      DBG_LOG_AT(LOG_WARN, 53, L"EnumWindows(IsApp) ret[0x%x][%d]", (unsigned)err, (int)err);
    }
  }
  return m_found;
}

int QrEnumWnd::isAppWindow(HWND w) {
  HWND owner = GetWindow(w, GW_OWNER);
  if (owner != NULL && !isDisabled(owner)) return 0;
  if (IsWindowVisible(w) != 1) return 0;
  if (GetWindowTextLengthW(w) == 0) return 0;
  HWND parent = GetParent(w);
  if (parent != NULL && !isDisabled(parent)) return 0;
  if (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return 0;
  return 1;
}

BOOL CALLBACK QrEnumWnd::enumProc(HWND w, LPARAM param) {
  return reinterpret_cast<QrEnumWnd*>(param)->onWindow(w);
}

BOOL QrEnumWnd::onWindow(HWND w) {
  if (!isAppWindow(w)) return TRUE;
  if (w == m_hWndCheck) {
    m_found = 1;
    return FALSE;
  }
  SetLastError(0);
  HWND current = m_hWndCheck;
  for (int step = 0; step < MAX_CHAIN; ++step) {
    HWND next = GetParent(current);
    if (next == NULL) next = GetWindow(current, GW_OWNER);
    if (next == w) {
      m_found = 1;
      return FALSE;
    }
    if (next == NULL) return TRUE;
    current = next;
  }
  return TRUE;
}
