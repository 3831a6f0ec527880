// The main module's decisions, its resources, the about box and the settings dialog
// box, in-process.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <comdef.h>

#include <stdexcept>

#include "CMyException.h"
#include "MyDialogBox.h"
#include "MyDialogTabFont.h"
#include "MyDialogTabRun.h"
#include "MySerialize.h"
#include "QrSplashScreen.h"
#include "SettingsTestSupport.h"
#include "TestWait.h"
#include "resource.h"
#include "tamsel.h"

namespace {

HINSTANCE self() { return GetModuleHandleW(nullptr); }

// --- Start-up steps and failures kept inside the window procedure ------------------

class EntryLog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.ok());
    initLog(L"Corvela.log", 1, 1, 1, LOG_INFO);
  }
  std::string logBytes() { return sts::readBytes(m_dir.path() + L"\\Corvela.log"); }

  sts::SavedLogState m_saved;
  sts::ScopedTempDir m_dir;
};

TEST_F(EntryLog, SafeModeLineKeepsItsJapaneseTextFromTheFirstLine) {
  setlocale(LC_CTYPE, "C");  // as a fresh process starts
  setProcessLocale();
  EXPECT_TRUE(endInSafeMode(1));
  const std::string log = logBytes();
  // "システム Safe モード" in code page 932.
  EXPECT_NE(
      std::string::npos,
      log.find("CAUTION  : \x83\x56\x83\x58\x83\x65\x83\x80 Safe \x83\x82\x81\x5B\x83\x68\r\n"))
      << log;
}

TEST_F(EntryLog, NoSafeModeWritesNothing) {
  EXPECT_FALSE(endInSafeMode(0));
  EXPECT_EQ("", logBytes());
}

// The entry's own step: a main window that cannot be made (no such class) is an ERROR
// line with the creation's error code and the exit code -1, and leaves no window.
TEST_F(EntryLog, FailedMainWindowIsAnErrorWithExitCodeMinusOne) {
  const wchar_t* noClass = L"CorvelaNoSuchClass";
  ASSERT_EQ(nullptr, CreateWindowExW(0, noClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     self(), nullptr));
  const DWORD code = GetLastError();  // what the system says to a class it does not know
  WCHAR saved[MAX_LOADSTRING];
  lstrcpynW(saved, g_szWindowClass, MAX_LOADSTRING);
  lstrcpynW(g_szWindowClass, noClass, MAX_LOADSTRING);
  g_hMainWnd = nullptr;
  EXPECT_EQ(-1, openMainWindow(self(), SW_SHOWNORMAL));
  lstrcpynW(g_szWindowClass, saved, MAX_LOADSTRING);
  EXPECT_EQ(nullptr, g_hMainWnd);
  EXPECT_EQ(self(), g_hInst);
  char line[64];
  snprintf(line, sizeof line, "ERROR    : CreateWindowEx() : %x\r\n", (unsigned)code);
  EXPECT_NE(std::string::npos, logBytes().find(line)) << logBytes();
}

TEST_F(EntryLog, GuardedStepsLogWhatTheyThrowAndGoOn) {
  EXPECT_TRUE(runGuarded(L"quiet", 1, [] {}));
  EXPECT_FALSE(runGuarded(L"saveFile()", 10, [] {
    throw new CMyException(L"C:\\src\\MyApp.cpp", 77, 3, L"CreateFontIndirectW()", -1);
  }));
  EXPECT_FALSE(runGuarded(L"CMyApp::onUpdate()", 11, [] { _com_issue_error(E_FAIL); }));
  EXPECT_FALSE(runGuarded(L"saveFile()", 12, [] { throw std::runtime_error("disk full"); }));
  const std::string log = logBytes();
  EXPECT_NE(std::string::npos,
            log.find(": ERROR : C:\\src\\MyApp.cpp(77) : CreateFontIndirectW() : 0xffffffff"))
      << log;
  EXPECT_NE(std::string::npos, log.find(": CMyApp::onUpdate() : _com_error : 0x80004005")) << log;
  EXPECT_NE(std::string::npos, log.find(": saveFile() : disk full")) << log;
}

// --- Tray menu position and request --------------------------------------------

TEST(TrayMenu, OpensFourMenuBarsAboveTheCursorForThreeItems) {
  POINT p = trayMenuPoint({500, 900}, 19, 3);
  EXPECT_EQ(500, p.x);
  EXPECT_EQ(900 - 4 * 19, p.y);
}

TEST(TrayMenu, OneItemStaysAtTheCursorAndTheShiftMayLeaveTheScreen) {
  POINT p = trayMenuPoint({10, 20}, 19, 1);
  EXPECT_EQ(10, p.x);
  EXPECT_EQ(20, p.y);
  p = trayMenuPoint({10, 20}, 19, 3);
  EXPECT_EQ(20 - 76, p.y);  // TrackPopupMenu keeps it on the screen itself
}

TEST(TrayMenu, OnlyTheRightButtonReleaseOnIconZeroOpensTheMenu) {
  EXPECT_TRUE(isTrayMenuRequest(0, WM_RBUTTONUP));
  for (LPARAM other : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                       WM_RBUTTONDBLCLK, WM_MOUSEMOVE, WM_CONTEXTMENU, 0}) {
    EXPECT_FALSE(isTrayMenuRequest(0, other)) << other;
  }
  EXPECT_FALSE(isTrayMenuRequest(1, WM_RBUTTONUP));
}

// --- Hit test of the indicator -------------------------------------------------

TEST(NcHitTest, OnlyTheMovableFixedIndicatorIsDraggedByItsClientArea) {
  EXPECT_EQ(HTCAPTION, ncHitTestResult(HTCLIENT, DISP_FIXED, 0));
  EXPECT_EQ(HTCLIENT, ncHitTestResult(HTCLIENT, DISP_FIXED, 1));  // click-through
  EXPECT_EQ(HTCLIENT, ncHitTestResult(HTCLIENT, DISP_FLOAT, 0));
  EXPECT_EQ(HTCLIENT, ncHitTestResult(HTCLIENT, DISP_FLOAT, 1));
}

TEST(NcHitTest, BordersAndOtherAnswersStayAsTheDefaultGaveThem) {
  for (LRESULT r : {(LRESULT)HTNOWHERE, (LRESULT)HTCAPTION, (LRESULT)HTLEFT, (LRESULT)HTBOTTOMRIGHT,
                    (LRESULT)HTTRANSPARENT}) {
    EXPECT_EQ(r, ncHitTestResult(r, DISP_FIXED, 0));
  }
}

// --- Guards against messages from outside --------------------------------------

TEST(SplashMessages, NeedASplashInTheirOwnState) {
  EXPECT_FALSE(splashMessageApplies(nullptr, WM_MY_STARTED));
  EXPECT_FALSE(splashMessageApplies(nullptr, WM_SPLASH_END));

  QrSplashScreen splash(nullptr, {122, 123}, L"SPLASH", 192, 0xFFFFFF, 300);
  // Its thread no longer writes the state once the window is up.
  ASSERT_TRUE(testwait::waitUntil([&] { return splash.core().m_state == 2; }));
  const struct {
    int state;
    bool started;
    bool end;
  } rows[] = {{1, false, false}, {2, true, false}, {3, false, false}, {4, false, true}};
  for (const auto& row : rows) {
    splash.core().m_state = row.state;
    EXPECT_EQ(row.started, splashMessageApplies(&splash, WM_MY_STARTED)) << row.state;
    EXPECT_EQ(row.end, splashMessageApplies(&splash, WM_SPLASH_END)) << row.state;
    EXPECT_FALSE(splashMessageApplies(&splash, WM_APP + 12)) << row.state;
  }
}

// --- Resources --------------------------------------------------------------

std::wstring menuText(HMENU menu, UINT pos) {
  wchar_t buf[128] = {};
  GetMenuStringW(menu, pos, buf, 128, MF_BYPOSITION);
  return buf;
}

TEST(Resources, TitleAndClassName) {
  wchar_t buf[MAX_LOADSTRING] = {};
  ASSERT_GT(LoadStringW(self(), IDS_APP_TITLE, buf, MAX_LOADSTRING), 0);
  EXPECT_STREQ(L"Corvela", buf);
  ASSERT_GT(LoadStringW(self(), IDC_CORVELA, buf, MAX_LOADSTRING), 0);
  EXPECT_STREQ(L"CORVELA", buf);
}

TEST(Resources, TrayMenuHasSettingsSeparatorAndExit) {
  HMENU menu = LoadMenuW(self(), MAKEINTRESOURCEW(IDR_TRAYMENU));
  ASSERT_NE(nullptr, menu);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  EXPECT_EQ(L"コンテキスト メニュー", menuText(menu, 0));
  ASSERT_EQ(3, GetMenuItemCount(popup));
  EXPECT_EQ(L"設定(&S)", menuText(popup, 0));
  EXPECT_EQ(106u, GetMenuItemID(popup, 0));
  EXPECT_EQ(MF_SEPARATOR, GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(L"終了(&X)", menuText(popup, 2));
  EXPECT_EQ(105u, GetMenuItemID(popup, 2));
  DestroyMenu(menu);
}

TEST(Resources, ClassMenuHasExitAndAbout) {
  HMENU menu = LoadMenuW(self(), MAKEINTRESOURCEW(IDR_MAINMENU));
  ASSERT_NE(nullptr, menu);
  ASSERT_EQ(2, GetMenuItemCount(menu));
  EXPECT_EQ(L"ファイル(&F)", menuText(menu, 0));
  EXPECT_EQ(L"アプリケーションの終了(&X)", menuText(GetSubMenu(menu, 0), 0));
  EXPECT_EQ(105u, GetMenuItemID(GetSubMenu(menu, 0), 0));
  EXPECT_EQ(L"ヘルプ(&H)", menuText(menu, 1));
  EXPECT_EQ(L"バージョン情報(&A)...", menuText(GetSubMenu(menu, 1), 0));
  EXPECT_EQ(104u, GetMenuItemID(GetSubMenu(menu, 1), 0));
  DestroyMenu(menu);
}

TEST(Resources, AcceleratorsAreAltCharactersForTheAboutBox) {
  HACCEL accel = LoadAcceleratorsW(self(), MAKEINTRESOURCEW(IDR_ACCEL));
  ASSERT_NE(nullptr, accel);
  ACCEL entries[8];
  int n = CopyAcceleratorTableW(accel, entries, 8);
  ASSERT_EQ(2, n);
  bool question = false, slash = false;
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(IDM_ABOUT, entries[i].cmd);
    EXPECT_TRUE(entries[i].fVirt & FALT);
    EXPECT_FALSE(entries[i].fVirt & FVIRTKEY) << "character codes, not virtual keys";
    question |= entries[i].key == '?';
    slash |= entries[i].key == '/';
  }
  EXPECT_TRUE(question);
  EXPECT_TRUE(slash);
}

TEST(Resources, IconLoads) { EXPECT_NE(nullptr, LoadIconW(self(), MAKEINTRESOURCEW(IDI_APP))); }

// --- About box --------------------------------------------------------------

std::wstring textOf(HWND h) {
  wchar_t buf[256] = {};
  GetWindowTextW(h, buf, 256);
  return buf;
}

HWND waitForDialog(DWORD threadId, const wchar_t* caption) {
  HWND found = nullptr;
  testwait::waitUntil([&] {
    HWND h = FindWindowW(L"#32770", caption);
    if (h && GetWindowThreadProcessId(h, nullptr) == threadId) found = h;
    return found != nullptr;
  });
  return found;
}

TEST(AboutBox, ShowsCaptionTextAndEndsOnOkOrCancel) {
  for (int button : {IDOK, IDCANCEL}) {
    std::wstring caption, text;
    const DWORD me = GetCurrentThreadId();
    std::thread closer([&] {
      HWND box = waitForDialog(me, L"バージョン情報 tamsel");
      if (!box) return;
      caption = textOf(box);
      text = textOf(GetDlgItem(box, IDC_ABOUT_TEXT));
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
    INT_PTR r = DialogBoxParamW(self(), MAKEINTRESOURCEW(IDD_ABOUTBOX), nullptr, aboutDlgProc, 0);
    closer.join();
    EXPECT_EQ(button, r);
    EXPECT_EQ(L"バージョン情報 tamsel", caption);
    EXPECT_EQ(L"tamsel, Version 1.0", text);
  }
}

TEST(AboutBox, OtherCommandsAreLeftToTheDialogManager) {
  EXPECT_EQ(TRUE, aboutDlgProc(nullptr, WM_INITDIALOG, 0, 0));
  EXPECT_EQ(FALSE, aboutDlgProc(nullptr, WM_COMMAND, 105, 0));
  EXPECT_EQ(FALSE, aboutDlgProc(nullptr, WM_CLOSE, 0, 0));
}

// --- Settings dialog box ------------------------------------------------------

TEST(DialogCentre, HalvesWhatTheWindowAndItsFramesLeave) {
  POINT p = dialogCentre(1280, 1024, 400, 300, 1, 1, 3, 3);
  EXPECT_EQ((1280 - 400 - 1 - 3) / 2, p.x);
  EXPECT_EQ((1024 - 300 - 1 - 3) / 2, p.y);
  // Larger than the screen: negative, rounded toward zero.
  p = dialogCentre(800, 600, 1001, 700, 1, 1, 3, 3);
  EXPECT_EQ(-102, p.x);
  EXPECT_EQ(-52, p.y);
}

struct Reports {
  static std::atomic<int> count;
  static std::atomic<int> last;
  static BOOL record(WPARAM changed, LPARAM lParam) {
    count++;
    last = (int)changed;
    return lParam == 0;
  }
  static void reset() {
    count = 0;
    last = -1;
  }
};
std::atomic<int> Reports::count{0};
std::atomic<int> Reports::last{-1};

class DialogBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { Reports::reset(); }
  MyDialogBox box;
  CMySerialize settings;
};

TEST_F(DialogBoxTest, StartsWithoutWindowAndDefaultRecords) {
  EXPECT_EQ(130, box.dialogId);
  EXPECT_EQ(nullptr, box.hDlg);
  EXPECT_TRUE(box.tabs.empty());
  EXPECT_EQ(0, box.snapshot.differs(CMySerialize()));
  EXPECT_EQ(0, box.working.differs(CMySerialize()));
}

TEST_F(DialogBoxTest, OpensCentredWithTabControlAndButtons) {
  settings.alphaOn = 33;
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  EXPECT_EQ(&box, MyDialogBox::s_pThis);
  EXPECT_EQ(L"設定", textOf(box.hDlg));
  EXPECT_TRUE(IsWindowVisible(box.hDlg));
  HWND tab = GetDlgItem(box.hDlg, IDC_TAB);
  ASSERT_NE(nullptr, tab);
  wchar_t cls[64] = {};
  GetClassNameW(tab, cls, 64);
  EXPECT_STREQ(L"SysTabControl32", cls);
  EXPECT_EQ(L"OK", textOf(GetDlgItem(box.hDlg, IDOK)));
  EXPECT_EQ(L"キャンセル", textOf(GetDlgItem(box.hDlg, IDCANCEL)));
  EXPECT_NE(0, SendMessageW(box.hDlg, WM_GETICON, ICON_SMALL, 0));

  RECT rc;
  GetWindowRect(box.hDlg, &rc);
  POINT want =
      dialogCentre(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), rc.right - rc.left,
                   rc.bottom - rc.top, GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER),
                   GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME));
  EXPECT_EQ(want.x, rc.left);
  EXPECT_EQ(want.y, rc.top);

  EXPECT_EQ(33, box.snapshot.alphaOn);
  EXPECT_EQ(33, box.working.alphaOn);
  EXPECT_EQ(0, Reports::count);
}

TEST_F(DialogBoxTest, OkWithoutChangeReportsZeroAndClosesTheWindow) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  HWND wnd = box.hDlg;
  SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(1, Reports::count);
  EXPECT_EQ(0, Reports::last);
  EXPECT_EQ(nullptr, box.hDlg);
  EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(DialogBoxTest, OkWithAChangedWorkingCopyReportsOneAndHandsItBack) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  static_cast<CMyDialogTabRun*>(box.tabs[4].get())->runInterval->value = 1234;
  SendMessageW(box.hDlg, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(1, Reports::last);
  std::unique_ptr<CMySerialize> got(box.getSettings());
  ASSERT_NE(nullptr, got.get());
  EXPECT_NE(&box.working, got.get());
  EXPECT_EQ(1234u, got->loopInterval);
  EXPECT_EQ(0, got->differs(box.working));
}

TEST_F(DialogBoxTest, FontSizeOrStyleAloneIsNoChange) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  CMyDialogTabFont* fontPage = static_cast<CMyDialogTabFont*>(box.tabs[2].get());
  fontPage->font->size = 40;
  fontPage->setStyle(L"太字");
  SendMessageW(box.hDlg, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(0, Reports::last);
}

TEST_F(DialogBoxTest, CancelDropsEditsAndReportsZero) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  box.working.alphaOff = 7;
  SendMessageW(box.hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(1, Reports::count);
  EXPECT_EQ(0, Reports::last);
  EXPECT_EQ(nullptr, box.hDlg);
  EXPECT_EQ(0, box.working.differs(box.snapshot));
  EXPECT_EQ(settings.alphaOff, box.working.alphaOff);
}

TEST_F(DialogBoxTest, CloseBoxReportsZero) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  SendMessageW(box.hDlg, WM_CLOSE, 0, 0);
  EXPECT_EQ(1, Reports::count);
  EXPECT_EQ(0, Reports::last);
  EXPECT_EQ(nullptr, box.hDlg);
}

TEST_F(DialogBoxTest, OtherCommandsDoNotEndTheDialog) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  SendMessageW(box.hDlg, WM_COMMAND, MAKEWPARAM(IDC_TAB, 0), 0);
  EXPECT_EQ(0, Reports::count);
  EXPECT_NE(nullptr, box.hDlg);
}

TEST_F(DialogBoxTest, OpeningAgainReloadsTheRecordIntoTheSameWindow) {
  box.open(self(), nullptr, &settings, Reports::record);
  HWND first = box.hDlg;
  ASSERT_NE(nullptr, first);
  box.working.blinkSpeed = 300;  // an edit not confirmed
  ShowWindow(first, SW_HIDE);
  CMySerialize other;
  other.blinkSpeed = 900;
  box.open(self(), nullptr, &other, Reports::record);
  EXPECT_EQ(first, box.hDlg);
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_EQ(900, box.working.blinkSpeed);
  EXPECT_EQ(900, box.snapshot.blinkSpeed);
  EXPECT_EQ(0, Reports::count);
}

TEST_F(DialogBoxTest, ReopeningAfterCloseBuildsANewWindow) {
  box.open(self(), nullptr, &settings, Reports::record);
  SendMessageW(box.hDlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_EQ(nullptr, box.hDlg);
  box.open(self(), nullptr, &settings, Reports::record);
  EXPECT_NE(nullptr, box.hDlg);
}

TEST_F(DialogBoxTest, TheDialogAndItsTabControlAreNoPages) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  EXPECT_EQ(0, box.isTabPage(box.hDlg));
  EXPECT_EQ(0, box.isTabPage(GetDlgItem(box.hDlg, IDC_TAB)));
  EXPECT_EQ(0, box.isTabPage(nullptr));
}

TEST_F(DialogBoxTest, TabSelectionWithoutAHeaderChangesNothing) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  box.onSelChange(nullptr);
  EXPECT_EQ(0, box.curTab);
}

TEST_F(DialogBoxTest, ChangeTabOrderPutsThePageBetweenTabAndButtons) {
  box.open(self(), nullptr, &settings, Reports::record);
  ASSERT_NE(nullptr, box.hDlg);
  HWND page = CreateWindowExW(0, L"STATIC", L"page", WS_CHILD, 0, 0, 10, 10, box.hDlg, nullptr,
                              self(), nullptr);
  ASSERT_NE(nullptr, page);
  box.changeTabOrder(box.hDlg, page);
  HWND tab = GetDlgItem(box.hDlg, IDC_TAB);
  EXPECT_EQ(tab, GetWindow(box.hDlg, GW_CHILD));
  EXPECT_EQ(page, GetWindow(tab, GW_HWNDNEXT));
  EXPECT_EQ(GetDlgItem(box.hDlg, IDOK), GetWindow(page, GW_HWNDNEXT));
  EXPECT_EQ(GetDlgItem(box.hDlg, IDCANCEL), GetWindow(GetDlgItem(box.hDlg, IDOK), GW_HWNDNEXT));
}

TEST(DialogBoxLife, DestructionTakesAnOpenWindowDown) {
  HWND wnd = nullptr;
  {
    MyDialogBox box;
    CMySerialize settings;
    box.open(self(), nullptr, &settings, Reports::record);
    wnd = box.hDlg;
    ASSERT_NE(nullptr, wnd);
  }
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(nullptr, MyDialogBox::s_pThis);
}

}  // namespace
