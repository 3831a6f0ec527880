// The settings dialog on real windows in this process: the record <-> page map, the
// pages' items and their controls, tab switching, keyboard order, brushes, and the
// dialog's failure roads.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "MyAppLogic.h"
#include "MyDialogTabColor.h"
#include "MyDialogTabDisp.h"
#include "MyDialogTabEffect.h"
#include "MyDialogTabFont.h"
#include "MyDialogTabRun.h"
#include "resource.h"
#include "WindowTestSupport.h"

namespace {

std::vector<WPARAM> g_reports;
BOOL recordReport(WPARAM changed, LPARAM) {
  g_reports.push_back(changed);
  return TRUE;
}

std::wstring textOf(HWND w) {
  wchar_t buf[128] = {};
  GetWindowTextW(w, buf, 128);
  return buf;
}

// A settings dialog opened in this process on a record; closed at the end.
class OpenDialog : public ::testing::Test {
 protected:
  void SetUp() override { g_reports.clear(); }
  void TearDown() override { box.reset(); }

  void open(const CMySerialize& record) {
    settings = record;
    box->open(GetModuleHandleW(nullptr), nullptr, &settings, recordReport);
    ASSERT_NE(nullptr, box->hDlg);
    ASSERT_EQ(5u, box->tabs.size());
  }
  HWND page(int i) const { return box->tabs[i]->hPage; }
  HWND control(int pageIndex, int id) const { return GetDlgItem(page(pageIndex), id); }
  // Selects a tab as a click on it would.
  void selectTab(int i) {
    HWND tab = GetDlgItem(box->hDlg, IDC_TAB);
    SendMessageW(tab, TCM_SETCURSEL, i, 0);
    NMHDR h = {tab, IDC_TAB, (UINT)TCN_SELCHANGE};
    SendMessageW(box->hDlg, WM_NOTIFY, IDC_TAB, (LPARAM)&h);
  }
  void click(int pageIndex, int id) { SendMessageW(control(pageIndex, id), BM_CLICK, 0, 0); }
  void key(HWND w, UINT vk) {
    SendMessageW(w, WM_KEYDOWN, vk, 1);
    SendMessageW(w, WM_KEYUP, vk, 0xC0000001);
  }
  LRESULT trackPos(int pageIndex, int id) {
    return SendMessageW(control(pageIndex, id), TBM_GETPOS, 0, 0);
  }
  int visiblePages() const {
    int n = 0;
    for (auto& t : box->tabs) n += IsWindowVisible(t->hPage) ? 1 : 0;
    return n;
  }
  CMySerialize pressOk() {
    SendMessageW(box->hDlg, WM_COMMAND, IDOK, 0);
    std::unique_ptr<CMySerialize> out(box->getSettings());
    return *out;
  }

  std::unique_ptr<MyDialogBox> box{new MyDialogBox()};
  CMySerialize settings;
};

TEST_F(OpenDialog, RecordShowsInTheControlsAndComesBackOnOk) {
  CMySerialize r;
  r.dMode = 5;  // neither float nor fixed
  r.horizontalPos = 80.7f;
  r.indShow = 7;
  r.iconShow = 0;
  r.alphaOff = 150;
  r.imeColorOn = RGB(1, 2, 3);
  r.effect = 0;
  r.spnVal = 150;
  r.blink = 1;
  r.blinkSpeed = 850;
  r.loopInterval = 5000;
  r.transTimerCnt = -1;
  r.nonCaptionShow = 3;
  r.fontSize = 11;
  r.fontStyle = L"ボールド";
  open(r);

  EXPECT_EQ(BST_CHECKED, SendMessageW(control(0, IDC_RADIO1), BM_GETCHECK, 0, 0));
  EXPECT_EQ(BST_UNCHECKED, SendMessageW(control(0, IDC_RADIO2), BM_GETCHECK, 0, 0));
  EXPECT_EQ(80, trackPos(0, IDC_SLIDER1));
  EXPECT_FALSE(IsWindowEnabled(control(0, IDC_SLIDER1))) << "only float mode places the text";
  EXPECT_FALSE(IsWindowEnabled(control(0, IDC_STATIC4)));
  EXPECT_EQ(BST_CHECKED, SendMessageW(control(0, IDC_CHECK1), BM_GETCHECK, 0, 0));
  EXPECT_EQ(100, trackPos(1, IDC_SLIDER1)) << "opacity 150 shows clamped";
  EXPECT_EQ(L"11", textOf(control(2, IDC_EDIT_SIZE)));
  EXPECT_EQ(L"ボールド", textOf(control(2, IDC_EDIT_STYLE)));
  EXPECT_EQ(8, trackPos(3, IDC_SLIDER3)) << "850 ms in hundreds";
  EXPECT_TRUE(IsWindowEnabled(control(3, IDC_SLIDER3)));
  EXPECT_FALSE(IsWindowEnabled(control(3, IDC_SLIDER4))) << "gradient off";
  EXPECT_EQ(L"5000", textOf(control(4, IDC_EDIT1)));
  EXPECT_EQ(L"-1", textOf(control(4, IDC_EDIT2)));

  CMySerialize out = pressOk();
  EXPECT_EQ(std::vector<WPARAM>{1}, g_reports) << "850 goes back as 800";
  EXPECT_EQ(nullptr, box->hDlg);
  EXPECT_EQ(800, out.blinkSpeed);
  // What nobody touched goes back as loaded, out of range or not.
  EXPECT_EQ(5, out.dMode);
  EXPECT_FLOAT_EQ(80.7f, out.horizontalPos);
  EXPECT_EQ(7, out.indShow);
  EXPECT_EQ(150, out.alphaOff);
  EXPECT_EQ(RGB(1, 2, 3), out.imeColorOn);
  EXPECT_EQ(150, out.spnVal);
  EXPECT_EQ(5000u, out.loopInterval);
  EXPECT_EQ(-1, out.transTimerCnt);
  EXPECT_EQ(3, out.nonCaptionShow);
  EXPECT_EQ(L"ボールド", out.fontStyle);
  EXPECT_EQ(11, out.fontSize);
  EXPECT_EQ(0, memcmp(&r.logFont, &out.logFont, sizeof r.logFont));
}

TEST_F(OpenDialog, FarOutPositionIsShownAndDrawnAtTheNearerEndAndStoredAsLoaded) {
  CMySerialize r;
  r.horizontalPos = 1e30f;
  open(r);
  EXPECT_EQ(100, trackPos(0, IDC_SLIDER1));
  EXPECT_EQ(1e30f, pressOk().horizontalPos);
  // The strip draws the label and icon where the thumb stands.
  for (float stored : {1e30f, -1e30f}) {
    const myapp::FrameGeometry drawn = myapp::frameGeometry(0, 300, 25, 100, 2, 16, stored);
    const myapp::FrameGeometry end =
        myapp::frameGeometry(0, 300, 25, 100, 2, 16, stored > 0 ? 100 : 0);
    EXPECT_EQ(end.textOrigin.x, drawn.textOrigin.x) << stored;
    EXPECT_EQ(end.iconRect.left, drawn.iconRect.left) << stored;
  }
}

TEST_F(OpenDialog, ClicksKeysAndTypedNumbersReachTheRecordOnOk) {
  CMySerialize r;  // defaults: float mode, loopInterval 200, transTimerCnt 5
  open(r);
  // Display page: fixed greys the position, float brings it back.
  click(0, IDC_RADIO2);
  EXPECT_FALSE(IsWindowEnabled(control(0, IDC_SLIDER1)));
  EXPECT_FALSE(IsWindowEnabled(control(0, IDC_STATIC1)));
  click(0, IDC_RADIO1);
  EXPECT_TRUE(IsWindowEnabled(control(0, IDC_SLIDER1)));
  EXPECT_TRUE(IsWindowEnabled(control(0, IDC_STATIC3)));
  key(control(0, IDC_SLIDER1), VK_RIGHT);  // arrow keys count like dragging
  click(0, IDC_RADIO2);
  click(0, IDC_CHECK2);  // icon off

  // Effect page: unchecking blink greys its trackbar and keeps the position.
  selectTab(3);
  click(3, IDC_CHECK2);
  EXPECT_TRUE(IsWindowEnabled(control(3, IDC_SLIDER3)));
  key(control(3, IDC_SLIDER3), VK_LEFT);
  click(3, IDC_CHECK2);
  EXPECT_FALSE(IsWindowEnabled(control(3, IDC_SLIDER3)));

  // Run page: the arrow keys step the interval; a typed count is taken when the box is
  // left; letters put the last value back; OK takes what was typed just before.
  selectTab(4);
  HWND interval = control(4, IDC_EDIT1), count = control(4, IDC_EDIT2);
  key(interval, VK_UP);
  EXPECT_EQ(L"201", textOf(interval));
  SetWindowTextW(count, L"99");
  SendMessageW(page(4), WM_COMMAND, MAKEWPARAM(IDC_EDIT2, EN_KILLFOCUS), (LPARAM)count);
  EXPECT_EQ(L"60", textOf(count)) << "held within -1 to 60";
  key(count, VK_DOWN);
  EXPECT_EQ(L"59", textOf(count)) << "the arrows go on from the typed value";
  SetWindowTextW(count, L"ab");
  SendMessageW(page(4), WM_COMMAND, MAKEWPARAM(IDC_EDIT2, EN_KILLFOCUS), (LPARAM)count);
  EXPECT_EQ(L"59", textOf(count));
  // An arrow used while typed text is still in the box steps from that text, and the
  // control goes on from there.
  SetWindowTextW(count, L"30");
  key(count, VK_UP);
  EXPECT_EQ(L"31", textOf(count));
  key(count, VK_UP);
  EXPECT_EQ(L"32", textOf(count));
  SetWindowTextW(interval, L"500");

  CMySerialize out = pressOk();
  EXPECT_EQ(std::vector<WPARAM>{1}, g_reports);
  EXPECT_EQ(DISP_FIXED, out.dMode);
  EXPECT_FLOAT_EQ(81.0f, out.horizontalPos);
  EXPECT_EQ(0, out.iconShow);
  EXPECT_EQ(1, out.indShow);
  EXPECT_EQ(0, out.blink);
  EXPECT_EQ(700, out.blinkSpeed);
  EXPECT_EQ(500u, out.loopInterval);
  EXPECT_EQ(32, out.transTimerCnt);
}

TEST_F(OpenDialog, SpinArrowsStopAtTheEndsOfTheRange) {
  CMySerialize r;
  r.loopInterval = 999;
  r.transTimerCnt = -1;
  open(r);
  selectTab(4);
  HWND interval = control(4, IDC_EDIT1), count = control(4, IDC_EDIT2);
  key(interval, VK_UP);
  key(interval, VK_UP);
  EXPECT_EQ(L"1000", textOf(interval));
  key(count, VK_DOWN);
  EXPECT_EQ(L"-1", textOf(count));
  key(count, VK_UP);
  EXPECT_EQ(L"0", textOf(count));
  CMySerialize out = pressOk();
  EXPECT_EQ(1000u, out.loopInterval);
  EXPECT_EQ(0, out.transTimerCnt);
}

TEST_F(OpenDialog, TabsShowExactlyOnePageAndKeyboardRunsThroughIt) {
  open(CMySerialize());
  HWND tab = GetDlgItem(box->hDlg, IDC_TAB);
  ASSERT_EQ(5, SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  const wchar_t* titles[] = {L"表示方法", L"色", L"フォント", L"エフェクト", L"動作"};
  for (int i = 0; i < 5; ++i) {
    wchar_t buf[32] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = buf;
    item.cchTextMax = 32;
    SendMessageW(tab, TCM_GETITEMW, i, (LPARAM)&item);
    EXPECT_STREQ(titles[i], buf);
    EXPECT_EQ(1, box->isTabPage(page(i)));
  }
  EXPECT_EQ(0, box->isTabPage(box->hDlg));
  EXPECT_TRUE(IsWindowVisible(page(0)));
  EXPECT_EQ(1, visiblePages());
  for (int i : {2, 4, 1, 3}) {
    selectTab(i);
    EXPECT_TRUE(IsWindowVisible(page(i)));
    EXPECT_EQ(1, visiblePages()) << "after tab " << i;
    // Tab order: tab control, the shown page's controls, OK, Cancel.
    HWND first = box->tabs[i]->getEdgeControl(0), last = box->tabs[i]->getEdgeControl(-1);
    EXPECT_EQ(first, GetNextDlgTabItem(box->hDlg, tab, FALSE)) << "tab " << i;
    EXPECT_EQ(GetDlgItem(box->hDlg, IDOK), GetNextDlgTabItem(box->hDlg, last, FALSE));
    EXPECT_EQ(nullptr, box->tabs[i]->getEdgeControl(1));
  }
  EXPECT_EQ(GetDlgItem(box->hDlg, IDCANCEL),
            GetNextDlgTabItem(box->hDlg, GetDlgItem(box->hDlg, IDOK), FALSE));
  // No tab selected: the page list is not indexed with -1, the shown page stays.
  selectTab(-1);
  EXPECT_TRUE(IsWindowVisible(page(3)));
  EXPECT_EQ(1, visiblePages());
}

TEST_F(OpenDialog, EveryPageFitsTheTabsDisplayAreaAboveTheButtons) {
  open(CMySerialize());
  const SIZE sizes[] = {{315, 176}, {315, 162}, {315, 129}, {315, 128}, {316, 183}};
  RECT display;
  GetClientRect(page(0), &display);  // every page is given the display area
  for (int i = 0; i < 5; ++i) {
    RECT need = {0, 0, sizes[i].cx, sizes[i].cy};
    MapDialogRect(page(i), &need);  // in the page's own font
    EXPECT_LE(need.right, display.right) << "page " << i;
    EXPECT_LE(need.bottom, display.bottom) << "page " << i;
  }
  RECT tab, ok;
  GetWindowRect(GetDlgItem(box->hDlg, IDC_TAB), &tab);
  GetWindowRect(GetDlgItem(box->hDlg, IDOK), &ok);
  EXPECT_GE(ok.top, tab.bottom);
}

TEST_F(OpenDialog, SecondOpeningBuildsNewPagesThatGetTheNewWindowsMessages) {
  CMySerialize r;
  r.indShow = 0;
  open(r);
  auto old = box->tabs;
  SendMessageW(box->hDlg, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(std::vector<WPARAM>{0}, g_reports);
  EXPECT_EQ(nullptr, old[0]->hPage) << "a page forgets its destroyed window";
  open(r);
  for (int i = 0; i < 5; ++i) EXPECT_NE(old[i], box->tabs[i]);
  auto* disp = static_cast<CMyDialogTabDisp*>(box->tabs[0].get());
  auto* oldDisp = static_cast<CMyDialogTabDisp*>(old[0].get());
  click(0, IDC_CHECK1);
  EXPECT_EQ(1, disp->indShow->value);
  EXPECT_EQ(0, oldDisp->indShow->value);
}

TEST_F(OpenDialog, OpeningAgainWhileOpenReloadsTheRecord) {
  CMySerialize r;
  open(r);
  click(0, IDC_RADIO2);
  r.loopInterval = 300;
  settings = r;
  box->open(GetModuleHandleW(nullptr), nullptr, &settings, recordReport);
  EXPECT_EQ(BST_CHECKED, SendMessageW(control(0, IDC_RADIO1), BM_GETCHECK, 0, 0));
  EXPECT_EQ(L"300", textOf(control(4, IDC_EDIT1)));
  CMySerialize out = pressOk();
  EXPECT_EQ(std::vector<WPARAM>{0}, g_reports);
  EXPECT_EQ(DISP_FLOAT, out.dMode);
}

TEST_F(OpenDialog, SwatchRepaintsKeepOneBrushPerItem) {
  CMySerialize r;
  open(r);
  selectTab(1);
  auto* color = static_cast<CMyDialogTabColor*>(box->tabs[1].get());
  HWND swatch = control(1, IDC_STATIC1);
  auto repaint = [&] {
    InvalidateRect(swatch, nullptr, TRUE);
    UpdateWindow(swatch);
  };
  repaint();
  const HBRUSH first = color->imeOff->brush();
  ASSERT_NE(nullptr, first);
  // Windows counts the process's GDI objects; Wine answers 0 for every process, so
  // there the brush handle that stays the same carries the check.
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 100; ++i) repaint();
  EXPECT_EQ(first, color->imeOff->brush());
  EXPECT_EQ(gdiBefore, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  // A new colour: a new brush, and the old one is gone.
  color->imeOff->color = RGB(9, 8, 7);
  repaint();
  const HBRUSH second = color->imeOff->brush();
  ASSERT_NE(nullptr, second);
  LOGBRUSH lb = {};
  ASSERT_EQ((int)sizeof lb, GetObjectW(second, sizeof lb, &lb));
  EXPECT_EQ(RGB(9, 8, 7), lb.lbColor);
  if (second != first) {
    EXPECT_EQ(0u, GetObjectType(first)) << "the old brush was not deleted";
  }
  // The other items paint nothing for a swatch that is not theirs.
  EXPECT_EQ(0, color->imeOn->onCtlColorStatic(0, (LPARAM)swatch));
}

TEST_F(OpenDialog, LongStyleIsCutForTheFontDialogAndCancelKeepsTheFont) {
  CMySerialize r;
  r.fontStyle = std::wstring(40, L'太');
  open(r);
  selectTab(2);
  // The font dialog is modal: a helper finds it over the settings dialog and cancels it.
  HWND owner = nullptr;
  std::thread closer([&] {
    HWND fontDialog = nullptr;
    wts::waitUntil([&] {
      HWND h = FindWindowW(L"#32770", nullptr);
      for (; h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
        if (h != box->hDlg && IsWindowVisible(h)) break;
      }
      return (fontDialog = h) != nullptr;
    });
    if (!fontDialog) return;
    owner = GetWindow(fontDialog, GW_OWNER);
    PostMessageW(fontDialog, WM_COMMAND, IDCANCEL, 0);
  });
  HWND button = control(2, IDC_BUTTON3);
  SendMessageW(page(2), WM_COMMAND, MAKEWPARAM(IDC_BUTTON3, BN_CLICKED), (LPARAM)button);
  closer.join();
  EXPECT_EQ(box->hDlg, owner);
  auto* font = static_cast<CMyDialogTabFont*>(box->tabs[2].get());
  EXPECT_EQ(std::wstring(31, L'太'), font->font->styleBuffer);
  EXPECT_EQ(std::wstring(40, L'太'), textOf(control(2, IDC_EDIT_STYLE)));
  CMySerialize out = pressOk();
  EXPECT_EQ(std::wstring(40, L'太'), out.fontStyle) << "the stored name stays whole";
  EXPECT_EQ(12, out.fontSize);
}

}  // namespace
