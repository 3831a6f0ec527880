// The modeless tabbed settings dialog.
//
// The dialog edits copies of the settings record it is opened with: `snapshot` keeps
// the values as opened, `working` receives the page values on OK. How the dialog ended
// goes to the callback (1 changed, 0 not); the main window then takes the new record
// with getSettings.
#include "MyDialogBox.h"

#include <commctrl.h>

#include "Dbg.h"
#include "MyDialogTabColor.h"
#include "MyDialogTabDisp.h"
#include "MyDialogTabEffect.h"
#include "MyDialogTabFont.h"
#include "MyDialogTabRun.h"
#include "resource.h"

MyDialogBox* MyDialogBox::s_pThis = nullptr;

namespace {

// Line numbers of the dialog's log lines, as its log has always shown them.
constexpr int kLineCreateDialog = 199;
constexpr int kLineSetIcon = 276;
constexpr int kLineStoreChanged = 370;
constexpr int kLineStoreUnchanged = 375;
constexpr int kLineCancel = 395;
constexpr int kLineNoTab = 471;
constexpr int kLineNullPage = 639;
constexpr int kLineNoOk = 644;
constexpr int kLineNoCancel = 650;
constexpr int kLineNoTabOrder = 656;
constexpr int kLineFirst = 661;
constexpr int kLineOk = 665;
constexpr int kLineCancelOrder = 669;

// The tab control and the page controls need the common controls' window classes.
void initCommonControls() {
  INITCOMMONCONTROLSEX icc = {};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
}

}  // namespace

POINT dialogCentre(int screenW, int screenH, int w, int h, int cxBorder, int cyBorder,
                   int cxDlgFrame, int cyDlgFrame) {
  POINT pt;
  pt.x = (screenW - w - cxBorder - cxDlgFrame) / 2;
  pt.y = (screenH - h - cyBorder - cyDlgFrame) / 2;
  return pt;
}

MyDialogBox::MyDialogBox()
    : dialogId(IDD_SETTINGS), hInstance(nullptr), curTab(0), callback(nullptr), hDlg(nullptr) {}

MyDialogBox::~MyDialogBox() {
  if (hDlg) DestroyWindow(hDlg);
  hDlg = nullptr;
  if (s_pThis == this) s_pThis = nullptr;
}

void MyDialogBox::open(HINSTANCE hInst, HWND owner, const CMySerialize* settings,
                       SettingChangeCallback cb) {
  hInstance = hInst;
  callback = cb;
  if (hDlg) {
    // Already open: what was not confirmed is dropped, the record's values come back.
    load(settings);
    refreshTabs();
    ShowWindow(hDlg, SW_SHOW);
    return;
  }
  build(settings);
  initCommonControls();
  hDlg = CreateDialogParamW(hInstance, MAKEINTRESOURCEW(dialogId), owner, proc, 0);
  if (!hDlg) {
    DBG_LOG_AT(LOG_ERROR, kLineCreateDialog, L"CreateDialog()");
    // No dialog means no OK or Cancel will ever report: end the caller's dialog
    // state here, as a Cancel would.
    report(0);
  }
}

CMySerialize* MyDialogBox::getSettings() const { return new CMySerialize(working); }

int MyDialogBox::isTabPage(HWND hWnd) const {
  for (const auto& tab : tabs) {
    if (tab->hPage && tab->hPage == hWnd) return 1;
  }
  return 0;
}

void MyDialogBox::build(const CMySerialize* settings) {
  s_pThis = this;
  snapshot = *settings;
  working = *settings;
  m_disp = std::make_shared<CMyDialogTabDisp>();
  m_color = std::make_shared<CMyDialogTabColor>();
  m_font = std::make_shared<CMyDialogTabFont>();
  m_effect = std::make_shared<CMyDialogTabEffect>();
  m_run = std::make_shared<CMyDialogTabRun>();
  // The pages of an earlier opening are released here.
  tabs = {m_disp, m_color, m_font, m_effect, m_run};
  load(settings);
}

void MyDialogBox::load(const CMySerialize* settings) {
  snapshot = *settings;
  working = *settings;
  writeItems(*settings);
}

void MyDialogBox::writeItems(const CMySerialize& s) {
  if (!m_disp) return;  // no pages yet
  m_disp->dispMode->value = s.dMode;
  m_disp->horizontalPos->value = s.horizontalPos;
  m_disp->indShow->value = s.indShow;
  m_disp->iconShow->value = s.iconShow;
  m_color->imeOff->color = s.imeColorOff;
  m_color->imeOff->opacity = s.alphaOff;
  m_color->imeOn->color = s.imeColorOn;
  m_color->imeOn->opacity = s.alphaOn;
  m_color->shade->color = s.bokasiColor;
  m_color->shade->opacity = s.bokasiOpacity;
  m_font->font->logFont = s.logFont;
  m_font->font->color = s.fontColor;
  m_font->font->size = s.fontSize;
  m_font->setStyle(s.fontStyle);
  m_effect->gradient->checkState = s.effect;
  m_effect->gradient->value = s.spnVal;
  m_effect->blink->checkState = s.blink;
  m_effect->blink->value = s.blinkSpeed / 100;  // 850 ms shows as 8
  m_run->runInterval->value = s.loopInterval;
  m_run->transWaitCount->value = s.transTimerCnt;
  m_run->appMaxShow->value = s.nonCaptionShow;
}

void MyDialogBox::readItems(CMySerialize* s) {
  if (!m_disp) return;
  m_run->takeTypedText();  // a number typed just before OK counts too
  s->dMode = m_disp->dispMode->value;
  s->horizontalPos = m_disp->horizontalPos->value;
  s->indShow = m_disp->indShow->value;
  s->iconShow = m_disp->iconShow->value;
  s->imeColorOff = m_color->imeOff->color;
  s->alphaOff = m_color->imeOff->opacity;
  s->imeColorOn = m_color->imeOn->color;
  s->alphaOn = m_color->imeOn->opacity;
  s->bokasiColor = m_color->shade->color;
  s->bokasiOpacity = m_color->shade->opacity;
  s->logFont = m_font->font->logFont;
  s->fontStyle = m_font->getStyle();
  s->fontSize = m_font->font->size;
  s->fontColor = m_font->font->color;
  s->effect = m_effect->gradient->checkState;
  s->spnVal = m_effect->gradient->value;
  s->blink = m_effect->blink->checkState;
  s->blinkSpeed = m_effect->blink->value * 100;
  s->loopInterval = m_run->runInterval->value;
  s->transTimerCnt = m_run->transWaitCount->value;
  s->nonCaptionShow = m_run->appMaxShow->value;
}

void MyDialogBox::initTabs(HWND dialog) {
  HWND hTab = GetDlgItem(dialog, IDC_TAB);
  if (!hTab) {
    DBG_LOG_AT(LOG_INFO, kLineNoTab, L"GetDlgItem(hTab) : NULL");
    return;
  }
  for (auto& tab : tabs) tab->insertTab(hTab);
  RECT rect;
  GetWindowRect(hTab, &rect);
  SendMessageW(hTab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
  POINT corner = {rect.left, rect.top};
  ScreenToClient(dialog, &corner);
  for (auto& tab : tabs) tab->create(hInstance, dialog, corner, rect);
  curTab = 0;
  if (tabs.empty()) return;
  ShowWindow(tabs[0]->hPage, SW_SHOW);
  changeTabOrder(dialog, tabs[0]->hPage);
}

void MyDialogBox::onSelChange(const NMHDR* header) {
  if (!header || header->idFrom != IDC_TAB || header->code != (UINT)TCN_SELCHANGE) return;
  const LRESULT sel = SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0);
  // No tab selected (-1) or one without a page: the shown page stays.
  if (sel < 0 || (size_t)sel >= tabs.size()) return;
  if (curTab >= 0 && (size_t)curTab < tabs.size()) ShowWindow(tabs[curTab]->hPage, SW_HIDE);
  ShowWindow(tabs[sel]->hPage, SW_SHOW);
  changeTabOrder(hDlg, tabs[sel]->hPage);
  curTab = (int)sel;
}

void MyDialogBox::refreshTabs() {
  for (auto& tab : tabs) tab->refresh();
}

void MyDialogBox::changeTabOrder(HWND dialog, HWND page) {
  if (!page)
    DBG_LOG_AT(LOG_INFO, kLineNullPage, L"changeTabOrder() : _hTab[%x]", (unsigned)(UINT_PTR)page);
  HWND hOk = GetDlgItem(dialog, IDOK);
  if (!hOk) DBG_LOG_AT(LOG_INFO, kLineNoOk, L"GetDlgItem(hOk) : NULL");
  HWND hCancel = GetDlgItem(dialog, IDCANCEL);
  if (!hCancel) DBG_LOG_AT(LOG_INFO, kLineNoCancel, L"GetDlgItem(hCancel) : NULL");
  HWND hTab = GetDlgItem(dialog, IDC_TAB);
  if (!hTab) DBG_LOG_AT(LOG_INFO, kLineNoTabOrder, L"GetDlgItem(hTab) : NULL");

  // Keyboard order follows the child order: tab control, page, OK, Cancel.
  const UINT flags = SWP_NOSIZE | SWP_NOMOVE;
  if (!SetWindowPos(page, hTab, 0, 0, 0, 0, flags))
    DBG_LOG_AT(LOG_ERROR, kLineFirst, L"changeTabOrder() : First.");
  if (!SetWindowPos(hOk, page, 0, 0, 0, 0, flags))
    DBG_LOG_AT(LOG_ERROR, kLineOk, L"changeTabOrder() : OK.");
  if (!SetWindowPos(hCancel, hOk, 0, 0, 0, 0, flags))
    DBG_LOG_AT(LOG_ERROR, kLineCancelOrder, L"changeTabOrder() : CANCEL.");
}

void MyDialogBox::onInitDialog(HWND hwnd) {
  HICON icon = LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_APP));
  if (icon) {
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
  } else {
    DBG_LOG_LASTERR_AT(LOG_ERROR, kLineSetIcon, L"WM_SETICON");
  }
  RECT rc;
  GetWindowRect(hwnd, &rc);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  POINT pt = dialogCentre(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), w, h,
                          GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER),
                          GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME));
  SetWindowPos(hwnd, HWND_TOP, pt.x, pt.y, w, h, SWP_SHOWWINDOW);
  initTabs(hwnd);
}

void MyDialogBox::report(int changed) {
  if (callback) callback((WPARAM)changed, 0);
}

void MyDialogBox::close() {
  // WM_DESTROY clears hDlg; keep the handle for the call.
  HWND wnd = hDlg;
  if (!wnd) return;
  ShowWindow(wnd, SW_HIDE);
  DestroyWindow(wnd);
}

void MyDialogBox::onOk() {
  readItems(&working);
  const int changed = working.differs(snapshot) ? 1 : 0;
  if (changed) {
    DBG_LOG_AT(LOG_INFO, kLineStoreChanged, L"STORE 変更あり");
  } else {
    DBG_LOG_AT(LOG_INFO, kLineStoreUnchanged, L"STORE 変更なし");
  }
  report(changed);
  close();
}

void MyDialogBox::onCancel() {
  DBG_LOG_AT(LOG_INFO, kLineCancel, L"proc() :  CANCEL.");
  working = snapshot;
  report(0);
  close();
}

INT_PTR CALLBACK MyDialogBox::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MyDialogBox* self = s_pThis;
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      self->onInitDialog(hwnd);
      return TRUE;
    case WM_NOTIFY:
      self->onSelChange(reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          self->onOk();
          return TRUE;
        case IDCANCEL:
          self->onCancel();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      self->report(0);
      self->close();
      return TRUE;
    case WM_DESTROY:
      if (self->hDlg == hwnd) self->hDlg = nullptr;
      return TRUE;
    default:
      return FALSE;
  }
}
