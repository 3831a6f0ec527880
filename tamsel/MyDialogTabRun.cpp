// The run page "動作".
#include "MyDialogTabRun.h"

#include <commctrl.h>
#include <wctype.h>

#include <algorithm>

#include "Dbg.h"
#include "resource.h"

bool parseSpinText(const std::wstring& text, int minValue, int maxValue, int* value) {
  size_t at = 0;
  while (at < text.size() && iswspace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) negative = text[at++] == L'-';
  long long number = 0;
  size_t digits = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at, ++digits) {
    if (number < 100000000000LL) number = number * 10 + (text[at] - L'0');
  }
  while (at < text.size() && iswspace(text[at])) ++at;
  if (digits == 0 || at != text.size()) return false;
  if (negative) number = -number;
  *value = (int)std::min<long long>(std::max<long long>(number, minValue), maxValue);
  return true;
}

template <typename T>
CMyItemSpin<T>::CMyItemSpin(WORD upDown, WORD edit, int minimum, int maximum, int limit)
    : value(0),
      upDownId(upDown),
      editId(edit),
      maxValue(maximum),
      minValue(minimum),
      textLimit(limit) {}

template <typename T>
void CMyItemSpin<T>::bindControls(HWND page) {
  hPage = page;
  editControl.reset(new MyGuiItem(page, editId));
  upDownControl.reset(new MyGuiItem(page, upDownId));
}

template <typename T>
void CMyItemSpin<T>::updateControls() {
  if (!editControl) return;
  HWND upDown = upDownControl->hWnd;
  sendItemMessage(editControl->hWnd, EM_LIMITTEXT, textLimit, 0);
  setEditText(value);
  sendItemMessage(upDown, UDM_SETBUDDY, (WPARAM)editControl->hWnd, 0);
  // The upper end in the low word: the up arrow counts upward.
  sendItemMessage(upDown, UDM_SETRANGE, 0, MAKELONG(maxValue, minValue));
  UDACCEL accel[3] = {{1, 1}, {3, 10}, {5, 100}};
  sendItemMessage(upDown, UDM_SETACCEL, 3, (LPARAM)accel);
  // Sign-extended for int, zero-extended for unsigned int.
  sendItemMessage(upDown, UDM_SETPOS, 0, (LPARAM)value);
}

template <typename T>
void CMyItemSpin<T>::setEditText(T number) {
  wchar_t text[64];
  _snwprintf(text, 64, std::is_signed<T>::value ? L"%d" : L"%u", number);
  text[63] = L'\0';
  m_written = text;
  SetWindowTextW(editControl ? editControl->hWnd : NULL, text);
}

template <typename T>
bool CMyItemSpin<T>::takeTypedText() {
  if (!editControl || !editControl->hWnd) return false;
  wchar_t text[64] = {};
  GetWindowTextW(editControl->hWnd, text, 64);
  // The text the item wrote itself: nothing was typed, and a stored value outside the
  // range stays as it is.
  if (m_written == text) return false;
  int typed = 0;
  if (parseSpinText(text, minValue, maxValue, &typed)) {
    DBG_LOG(LOG_INFO, L"takeTypedText(%d) : %d", (int)editId, typed);
    value = (T)typed;
  }
  setEditText(value);
  sendItemMessage(upDownControl->hWnd, UDM_SETPOS, 0, (LPARAM)value);
  return true;
}

template <typename T>
INT_PTR CMyItemSpin<T>::onCommand(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) != editId || HIWORD(wParam) != EN_KILLFOCUS) return 0;
  takeTypedText();
  return 1;
}

template <typename T>
INT_PTR CMyItemSpin<T>::onNotify(WPARAM wParam, LPARAM lParam) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (wParam != upDownId || !header || header->code != (UINT)UDN_DELTAPOS) return 0;
  const NMUPDOWN* change = reinterpret_cast<const NMUPDOWN*>(lParam);
  // An arrow clicked while typed text is still in the box steps from that text.
  const bool typed = takeTypedText();
  const long long from = typed ? (long long)value : (long long)change->iPos;
  const long long to =
      std::min<long long>(std::max<long long>(from + change->iDelta, minValue), maxValue);
  value = (T)to;
  setEditText(value);
  if (typed) {
    // The control would step from its old position: it is told the new one instead.
    sendItemMessage(upDownControl->hWnd, UDM_SETPOS, 0, (LPARAM)value);
    SetWindowLongPtrW(hPage, DWLP_MSGRESULT, 1);
  } else {
    SetWindowLongPtrW(hPage, DWLP_MSGRESULT, 0);
  }
  return 1;
}

template <typename T>
std::vector<HWND> CMyItemSpin<T>::getControls() {
  return {windowOf(editControl), windowOf(upDownControl)};
}

template class CMyItemSpin<unsigned int>;
template class CMyItemSpin<int>;

CMyItemRunInterval::CMyItemRunInterval() : CMyItemSpin(IDC_SPIN1, IDC_EDIT1, 10, 1000, 4) {}

CMyItemTransWaitCount::CMyItemTransWaitCount() : CMyItemSpin(IDC_SPIN2, IDC_EDIT2, -1, 60, 2) {}

CMyItemAppMaxShow::CMyItemAppMaxShow() : CMyItemCheck(IDC_CHECK1, L"IDC_CHECK1") {}

CMyDialogTabRun::CMyDialogTabRun() : CMyDialogTab(IDD_TAB_RUN) {
  title = L"動作";
  tabIndex = 4;
  runInterval = addItem(std::make_shared<CMyItemRunInterval>());
  transWaitCount = addItem(std::make_shared<CMyItemTransWaitCount>());
  appMaxShow = addItem(std::make_shared<CMyItemAppMaxShow>());
}

BOOL CMyDialogTabRun::create(HINSTANCE hInst, HWND parent, POINT corner, RECT rect) {
  hInstance = hInst;
  hParent = parent;
  if (!createWindow(proc)) DBG_LOG(LOG_ERROR, L"CreateDialog(RUN):%x", (unsigned)GetLastError());
  return CMyDialogTab::create(hInst, parent, corner, rect);
}

HWND CMyDialogTabRun::getEdgeControl(int which) {
  return edgeControl(which, IDC_SPIN1, IDC_CHECK1);
}

void CMyDialogTabRun::takeTypedText() {
  runInterval->takeTypedText();
  transWaitCount->takeTypedText();
}

INT_PTR CALLBACK CMyDialogTabRun::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return dispatch(hwnd, message, wParam, lParam, kNotify | kCommand | kHScroll);
}
