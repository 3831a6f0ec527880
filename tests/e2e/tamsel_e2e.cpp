// End-to-end runs of the program entry and the main window: the window itself, the
// second start, the log switch, the settings file at start-up and after the messages
// that save it, the tray menu, the about box, outside messages and the end.
#include "E2eSupport.h"

#include <shellapi.h>

using namespace e2e;

namespace {

constexpr UINT kTrayNotify = WM_USER + 1;
constexpr UINT kSaveSettingChange = WM_USER + 4;
constexpr UINT kSavePosChange = WM_USER + 5;
constexpr UINT kStarted = WM_APP + 105;
constexpr UINT kSplashEnd = WM_APP + 111;
constexpr DWORD kExitFailure = (DWORD)-1;
constexpr wchar_t kSettingsFile[] = L"Corvela.xml";
constexpr wchar_t kAppErrorCaption[] = L"tamsel : アプリケーション異常";

class MainWindowE2e : public CorvelaTest {};
class SettingsFileE2e : public CorvelaTest {};
class TrayE2e : public CorvelaTest {};

// --- The window, the second start, the log and the end -----------------------------

TEST_F(MainWindowE2e, IndicatorWindowHasItsStylesAndNoMenu) {
  CorvelaProcess& app = startAndWait(L"");
  HWND main = app.mainWindow();
  ASSERT_NE(nullptr, main);
  EXPECT_EQ(L"CORVELA", className(main));
  EXPECT_EQ(L"Corvela", windowText(main));

  // Every top-level window carries WS_CLIPSIBLINGS; nothing else may be added.
  const DWORD style = (DWORD)GetWindowLongW(main, GWL_STYLE) & ~WS_CLIPSIBLINGS;
  EXPECT_EQ((DWORD)(WS_POPUP | WS_VISIBLE), style) << std::hex << style;
  const DWORD exStyle = (DWORD)GetWindowLongW(main, GWL_EXSTYLE);
  EXPECT_EQ((DWORD)(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST), exStyle)
      << std::hex << exStyle;
  EXPECT_EQ(nullptr, GetMenu(main)) << "the class menu must be removed";
  EXPECT_EQ(nullptr, GetParent(main));

  EXPECT_EQ(0u, app.end());
}

TEST_F(MainWindowE2e, SecondStartSaysSoAndEndsWhileTheFirstRunsOn) {
  CorvelaProcess& first = startAndWait(L"");
  ASSERT_NE(nullptr, first.mainWindow());

  TempDir otherDir;
  CorvelaProcess& second = start(L"/DBG:111:INFO", otherDir.path());
  HWND box = second.waitDialog(L"２重起動");
  ASSERT_NE(nullptr, box) << "no box of the second start";
  EXPECT_EQ(L"Corvela.exeは すでに実行中です", dialogItemText(box));
  // The box has no owner and the second start made no window of its own.
  EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
  EXPECT_EQ(nullptr, findTopLevel(second.pid(), kMainClass, kMainTitle));

  ASSERT_TRUE(pressButton(box, IDOK));
  DWORD code = CorvelaProcess::kNoExitCode;
  ASSERT_TRUE(second.waitExit(&code));
  EXPECT_EQ(0u, code);
  // It ended before its settings step: nothing written in its directory but the log.
  EXPECT_FALSE(fileExists(otherDir.file(kSettingsFile)));

  EXPECT_TRUE(first.running());
  EXPECT_TRUE(IsWindow(first.mainWindow()));
  EXPECT_EQ(0u, first.end());
}

TEST_F(MainWindowE2e, DebugSwitchWritesTheLogInTheCurrentDirectory) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  const DWORD pid = app.pid();
  EXPECT_EQ(0u, app.end());

  bool read = false;
  std::string bytes = readFile(file(L"Corvela.log"), &read);
  ASSERT_TRUE(read) << "no Corvela.log in the working directory";
  std::wstring log = fromCodePage(bytes);
  EXPECT_TRUE(contains(log, L"No serialize file(Corvela.xml).")) << narrow(log);
  EXPECT_TRUE(contains(log, L"Corvela END.")) << narrow(log);

  // Every line: "hh:mm:ss_mmm[pid] ..." and CR LF.
  wchar_t pidTag[32];
  _snwprintf(pidTag, 32, L"[%04lu] ", pid);
  size_t lines = 0;
  for (size_t at = 0; at < log.size();) {
    size_t end = log.find(L'\n', at);
    ASSERT_NE(std::wstring::npos, end) << "last line without its line end";
    std::wstring line = log.substr(at, end - at);
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(L'\r', line.back()) << narrow(line);
    ASSERT_GE(line.size(), 13u);
    EXPECT_EQ(L':', line[2]);
    EXPECT_EQ(L':', line[5]);
    EXPECT_EQ(L'_', line[8]);
    EXPECT_EQ(0u, line.find(pidTag, 12) - 12) << narrow(line);
    ++lines;
    at = end + 1;
  }
  EXPECT_GE(lines, 2u);
}

TEST_F(MainWindowE2e, WithoutSwitchOnlyErrorLinesAreWritten) {
  CorvelaProcess& app = startAndWait(L"");
  ASSERT_NE(nullptr, app.mainWindow());
  EXPECT_EQ(0u, app.end());
  std::wstring log = readLog(dir());
  EXPECT_FALSE(contains(log, L"Corvela END.")) << narrow(log);
  EXPECT_FALSE(contains(log, L"No serialize file")) << narrow(log);
}

TEST_F(MainWindowE2e, ExitCommandEndsWithZeroAndLogsTheEnd) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  HWND main = app.mainWindow();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(app.post(WM_COMMAND, kCmdExit));
  DWORD code = CorvelaProcess::kNoExitCode;
  ASSERT_TRUE(app.waitExit(&code));
  EXPECT_EQ(0u, code);
  EXPECT_FALSE(IsWindow(main));
  std::wstring log = readLog(dir());
  EXPECT_EQ(1u, countOf(log, L"Corvela END.")) << narrow(log);
}

TEST_F(MainWindowE2e, CloseEndsLikeTheExitCommand) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_TRUE(app.post(WM_CLOSE));
  DWORD code = CorvelaProcess::kNoExitCode;
  ASSERT_TRUE(app.waitExit(&code));
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(contains(readLog(dir()), L"Corvela END."));
}

// --- Messages from outside --------------------------------------------------------

TEST_F(MainWindowE2e, HookMessagesAreLoggedAndLeaveItRunning) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  TargetWindow target(L"e2e target");
  const WPARAM w = (WPARAM)target.hwnd();
  const LPARAM l = (LPARAM)target.hwnd();

  for (UINT m = WM_APP + 1; m <= WM_APP + 14; ++m) {
    const bool imeNotify = m == WM_APP + 7 || m == WM_APP + 8;
    ASSERT_TRUE(app.post(m, imeNotify ? 0 : w, imeNotify ? l : 0));
  }
  ASSERT_TRUE(app.post(kActiveChange));

  wchar_t hex[16];
  _snwprintf(hex, 16, L"%08x", (unsigned)(UINT_PTR)target.hwnd());
  const std::wstring expected[] = {
      std::wstring(L"receive <WM_HOOK_CREATE> : wParam : ") + hex,
      L"receive <WM_HOOK_MOVE>",
      L"receive < WM_HOOK_MOVESIZE >",
      std::wstring(L"receive < WM_HOOK_ACTIVE > : wParam : ") + hex,
      std::wstring(L"receive < WM_HOOK_MINMAX > : wParam : ") + hex,
      L"receive <WM_HOOK_KBKANJI>",
      L"receive <WM_HOOK_IME_NOTIFY_SETOPNSTAT>",
      std::wstring(L"receive <WM_HOOK_IME_NOTIFY_SETCONVMOD> HWND : 0x") + hex,
      L"receive <WM_HOOK_SETTEXT>",
      L"receive < WM_HOOK_WINDOWPOSCHANGING >",
      L"receive <WM_HOOK_TAB>",
      std::wstring(L"receive <WM_HOOK_DESTROYWND> : wParam : ") + hex,
      L"receive <WM_MY_ACTIVECHANGE>",
  };
  ASSERT_TRUE(waitForLog(dir(), L"receive <WM_MY_ACTIVECHANGE>"));
  std::wstring log = readLog(dir());
  for (const auto& text : expected) EXPECT_EQ(1u, countOf(log, text)) << narrow(text);
  // WM_APP+12 is not handled, WM_APP+13 has no line: one line less than messages.
  EXPECT_EQ(13u, countOf(log, L" : receive ")) << narrow(log);

  EXPECT_TRUE(app.running());
  EXPECT_EQ(0u, app.end());
}

TEST_F(MainWindowE2e, App12AndStrayStartAndSplashMessagesDoNoHarm) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  ASSERT_TRUE(app.post(WM_APP + 12, 1, 2));
  ASSERT_TRUE(app.post(kStarted));
  ASSERT_TRUE(app.post(kSplashEnd));
  ASSERT_TRUE(app.post(kStarted));
  ASSERT_TRUE(app.post(kSplashEnd));
  ASSERT_TRUE(app.post(kActiveChange));  // a marker: handled after the others
  ASSERT_TRUE(waitForLog(dir(), L"receive <WM_MY_ACTIVECHANGE>"));
  EXPECT_TRUE(app.running());
  EXPECT_TRUE(IsWindow(app.mainWindow()));
  std::wstring log = readLog(dir());
  EXPECT_EQ(2u, countOf(log, L"WM_MY_STARTED again : ignored")) << narrow(log);
  EXPECT_EQ(2u, countOf(log, L"WM_SPLASH_END without a finished splash : ignored")) << narrow(log);
  EXPECT_EQ(0u, app.end());
}

// --- The settings file --------------------------------------------------------------

TEST_F(SettingsFileE2e, EmptyDirectoryGetsTheDefaultFile) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  ASSERT_TRUE(fileExists(file(kSettingsFile)));
  std::string xml = readFile(file(kSettingsFile));
  EXPECT_EQ(0u, xml.find("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n"));
  EXPECT_NE(std::string::npos,
            xml.find("<Corvela class_id=\"0\" tracking_level=\"0\" version=\"0\">\r\n"));
  EXPECT_NE(std::string::npos,
            xml.find("<lfFaceName>" + toCodePage(L"メイリオ") + "</lfFaceName>"));
  EXPECT_NE(std::string::npos, xml.find("</boost_serialization>\r\n"));
  std::wstring log = readLog(dir());
  EXPECT_TRUE(contains(log, L"INFO : No serialize file(Corvela.xml).")) << narrow(log);
  EXPECT_EQ(0u, app.end());
  EXPECT_EQ(xml, readFile(file(kSettingsFile))) << "the settings are not saved at exit";
}

TEST_F(SettingsFileE2e, ExistingFileIsReadAndLeftAsItIs) {
  {
    CorvelaProcess& first = startAndWait(L"");
    ASSERT_NE(nullptr, first.mainWindow());
    ASSERT_EQ(0u, first.end());
  }
  const std::string before = readFile(file(kSettingsFile));
  ASSERT_FALSE(before.empty());
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  EXPECT_EQ(0u, app.end());
  EXPECT_FALSE(contains(readLog(dir()), L"No serialize file"));
  EXPECT_EQ(before, readFile(file(kSettingsFile)));
}

void expectBrokenFileRun(CorvelaProcess& app, const std::wstring& path, const std::string& bytes) {
  HWND box = app.waitDialog(kAppErrorCaption);
  ASSERT_NE(nullptr, box) << "no error box";
  EXPECT_EQ(L"異常発生 : 設定ファイル　Corvela.xml", dialogItemText(box));
  ASSERT_TRUE(pressButton(box, IDOK));
  DWORD code = CorvelaProcess::kNoExitCode;
  ASSERT_TRUE(app.waitExit(&code));
  EXPECT_EQ(kExitFailure, code);
  bool read = false;
  EXPECT_EQ(bytes, readFile(path, &read)) << "the broken file was changed";
  EXPECT_TRUE(read);
}

TEST_F(SettingsFileE2e, BrokenFileShowsTheBoxEndsWithMinusOneAndStaysUntouched) {
  const std::string garbage = "<?xml version=\"1.0\"?>\r\nnot a settings archive \x81\x40<<&";
  ASSERT_TRUE(writeFile(file(kSettingsFile), garbage));
  CorvelaProcess& app = start(L"/DBG:111:INFO");
  expectBrokenFileRun(app, file(kSettingsFile), garbage);
  // The loop ended on the quit message of the failure, and the tray icon went with
  // the window.
  EXPECT_TRUE(contains(readLog(dir()), L"Corvela END."));
}

TEST_F(SettingsFileE2e, EmptyFileIsBrokenToo) {
  ASSERT_TRUE(writeFile(file(kSettingsFile), ""));
  CorvelaProcess& app = start(L"");
  expectBrokenFileRun(app, file(kSettingsFile), "");
}

// A moved rectangle is stored by MovableE2e; a report of the rectangle the file
// already holds, from this or any other process, writes nothing.
TEST_F(SettingsFileE2e, PositionReportWithoutAMoveWritesNothing) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  const std::string before = readFile(file(kSettingsFile));
  const ULONGLONG written = fileWriteTime(file(kSettingsFile));
  ASSERT_FALSE(before.empty());

  ASSERT_TRUE(app.post(kSavePosChange));
  ASSERT_TRUE(app.post(kSavePosChange));
  ASSERT_TRUE(app.drain());
  EXPECT_EQ(before, readFile(file(kSettingsFile)));
  EXPECT_EQ(written, fileWriteTime(file(kSettingsFile)));
  std::wstring log = readLog(dir());
  EXPECT_EQ(2u, countOf(log, L"fixed rectangle unchanged : nothing to store.")) << narrow(log);
  EXPECT_FALSE(contains(log, L"CMyApp() : set write store.")) << narrow(log);

  // Not even a missing file is written again.
  ASSERT_TRUE(DeleteFileW(file(kSettingsFile).c_str()));
  ASSERT_TRUE(app.post(kSavePosChange));
  ASSERT_TRUE(app.drain());
  EXPECT_FALSE(fileExists(file(kSettingsFile)));
  EXPECT_EQ(0u, app.end());
}

TEST_F(SettingsFileE2e, SettingChangeWithoutOpenDialogIsIgnored) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  ASSERT_TRUE(DeleteFileW(file(kSettingsFile).c_str()));

  ASSERT_TRUE(app.post(kSaveSettingChange, 0));
  ASSERT_TRUE(app.post(kSaveSettingChange, 1));
  ASSERT_TRUE(app.drain());
  EXPECT_FALSE(fileExists(file(kSettingsFile)));
  std::wstring log = readLog(dir());
  EXPECT_EQ(2u, countOf(log, L"no settings dialog open : ignored")) << narrow(log);
  EXPECT_EQ(2u, countOf(log, L"receive <WM_MY_SAVE_SETTINGCHANGE>"));
  EXPECT_FALSE(contains(log, L"設定変更あり")) << narrow(log);
  EXPECT_EQ(0u, app.end());
}

TEST_F(SettingsFileE2e, DialogOkWithoutChangeSavesNothing) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  ASSERT_TRUE(DeleteFileW(file(kSettingsFile).c_str()));

  ASSERT_TRUE(app.post(WM_COMMAND, kCmdSettings));
  HWND dlg = app.waitDialog(L"設定");
  ASSERT_NE(nullptr, dlg) << "the settings dialog did not open";
  EXPECT_NE(nullptr, GetDlgItem(dlg, 1020));
  ASSERT_TRUE(pressButton(dlg, IDOK));
  ASSERT_TRUE(waitForLog(dir(), L"receive <WM_MY_SAVE_SETTINGCHANGE>"));
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dlg); }));
  ASSERT_TRUE(app.drain());
  std::wstring log = readLog(dir());
  EXPECT_TRUE(contains(log, L"STORE 変更なし")) << narrow(log);
  EXPECT_FALSE(contains(log, L"設定変更あり")) << narrow(log);
  EXPECT_FALSE(fileExists(file(kSettingsFile)));
  EXPECT_EQ(0u, app.end());
}

TEST_F(SettingsFileE2e, StrayReportUnderTheOpenDialogChangesNothing) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  const std::string before = readFile(file(kSettingsFile));

  ASSERT_TRUE(app.post(WM_COMMAND, kCmdSettings));
  HWND dlg = app.waitDialog(L"設定");
  ASSERT_NE(nullptr, dlg);
  // A report while the dialog is still on screen comes from elsewhere: the dialog
  // reports only after it has closed itself.
  ASSERT_TRUE(app.post(kSaveSettingChange, 1));
  ASSERT_TRUE(waitForLog(dir(), L"no settings dialog open : ignored"));
  EXPECT_TRUE(IsWindowVisible(dlg));
  EXPECT_EQ(before, readFile(file(kSettingsFile)));

  // The user's own OK is still taken afterwards.
  ASSERT_TRUE(pressButton(dlg, IDOK));
  ASSERT_TRUE(waitForLog(dir(), L"STORE 変更なし"));
  EXPECT_TRUE(waitUntil([&] { return countOf(readLog(dir()), L"設定ダイアログ終了") == 1; }));
  EXPECT_FALSE(contains(readLog(dir()), L"設定変更あり")) << narrow(readLog(dir()));
  EXPECT_EQ(before, readFile(file(kSettingsFile)));
  EXPECT_EQ(0u, app.end());
}

// --- Tray menu and about box --------------------------------------------------------

// The tray menu of the process, once it is open.
HWND openTrayMenu(CorvelaProcess& app) {
  if (!app.post(kTrayNotify, 0, WM_RBUTTONUP)) return nullptr;
  HWND menuWnd = nullptr;
  waitUntil([&] { return (menuWnd = findPopupMenu(app.pid())) != nullptr; });
  return menuWnd;
}

// Chooses a menu item by its mnemonic, as the keyboard does.
void pressMnemonic(HWND menuWnd, wchar_t key) {
  PostMessageW(menuWnd, WM_KEYDOWN, (WPARAM)towupper(key), 0);
  PostMessageW(menuWnd, WM_CHAR, (WPARAM)key, 0);
  PostMessageW(menuWnd, WM_KEYUP, (WPARAM)towupper(key), 0);
}

TEST_F(TrayE2e, RightButtonReleaseOpensTheMenuAndNothingElseDoes) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());

  for (LPARAM other : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONDOWN}) {
    ASSERT_TRUE(app.post(kTrayNotify, 0, other));
  }
  ASSERT_TRUE(app.post(kTrayNotify, 1, WM_RBUTTONUP));  // not our icon id
  // A menu opened by any of them would be up before the marker behind them is handled
  // (the menu's own loop handles it).
  ASSERT_TRUE(app.drain());
  EXPECT_EQ(nullptr, findPopupMenu(app.pid()));

  HWND menuWnd = openTrayMenu(app);
  ASSERT_NE(nullptr, menuWnd) << "no popup menu";
  HMENU menu = (HMENU)SendMessageW(menuWnd, MN_GETHMENU, 0, 0);
  ASSERT_NE(nullptr, menu);
  // Windows lets another process read a menu; Wine keeps menus per process
  // (GetMenuItemCount gives -1 there). The items' texts are checked against the
  // resource in the unit tests, and their commands below through their mnemonics.
  if (GetMenuItemCount(menu) >= 0) {
    std::vector<MenuItem> items = menuItems(menu);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(L"設定(&S)", items[0].text);
    EXPECT_EQ(106u, items[0].id);
    EXPECT_EQ(L"終了(&X)", items[2].text);
    EXPECT_EQ(105u, items[2].id);
  }

  // Dismissed without a choice, the program runs on.
  PostMessageW(menuWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(waitUntil([&] { return findPopupMenu(app.pid()) == nullptr; }));
  EXPECT_TRUE(app.running());
  EXPECT_EQ(0u, app.end());
}

// Tells the shell's tray about the program's icon (id 0 of its main window), as any
// program may; true when the tray did it. A change of nothing (NIM_MODIFY) succeeds only
// while the tray holds the icon.
bool trayIconCall(DWORD call, HWND main) {
  NOTIFYICONDATAW nid = {};
  nid.cbSize = sizeof nid;
  nid.hWnd = main;
  nid.uID = 0;
  return Shell_NotifyIconW(call, &nid) != FALSE;
}

bool trayHoldsIcon(HWND main) { return trayIconCall(NIM_MODIFY, main); }

TEST_F(TrayE2e, RecreatedTaskbarGetsTheIconBack) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  HWND main = app.mainWindow();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(waitUntil([&] { return trayHoldsIcon(main); })) << "no tray icon after start-up";

  // A new taskbar starts empty; the shell then tells every top-level window.
  ASSERT_TRUE(trayIconCall(NIM_DELETE, main));
  ASSERT_FALSE(trayHoldsIcon(main));
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  ASSERT_NE(0u, taskbarCreated);
  ASSERT_TRUE(app.post(taskbarCreated));
  EXPECT_TRUE(waitUntil([&] { return trayHoldsIcon(main); })) << "the icon did not come back";
  EXPECT_TRUE(waitForLog(dir(), L"receive <TaskbarCreated> : tray icon added again."));

  // The icon still opens the menu.
  HWND menuWnd = openTrayMenu(app);
  ASSERT_NE(nullptr, menuWnd) << "no popup menu";
  PostMessageW(menuWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(waitUntil([&] { return findPopupMenu(app.pid()) == nullptr; }));
  EXPECT_EQ(0u, app.end());
}

TEST_F(TrayE2e, SettingsItemOpensTheSettingsDialog) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  HWND menuWnd = openTrayMenu(app);
  ASSERT_NE(nullptr, menuWnd) << "no popup menu";
  pressMnemonic(menuWnd, L's');
  HWND dlg = app.waitDialog(L"設定");
  ASSERT_NE(nullptr, dlg) << "設定(&S) did not open the settings dialog";
  EXPECT_EQ(nullptr, findPopupMenu(app.pid()));
  ASSERT_TRUE(pressButton(dlg, IDCANCEL));
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dlg); }));
  EXPECT_TRUE(waitForLog(dir(), L"proc() :  CANCEL."));
  EXPECT_EQ(0u, app.end());
}

TEST_F(TrayE2e, ExitItemEndsTheProgramWithZero) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  HWND menuWnd = openTrayMenu(app);
  ASSERT_NE(nullptr, menuWnd) << "no popup menu";
  pressMnemonic(menuWnd, L'x');
  DWORD code = CorvelaProcess::kNoExitCode;
  ASSERT_TRUE(app.waitExit(&code)) << "終了(&X) did not end the program";
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(contains(readLog(dir()), L"Corvela END."));
}

TEST_F(TrayE2e, AboutCommandOpensTheAboutBox) {
  CorvelaProcess& app = startAndWait(L"");
  ASSERT_NE(nullptr, app.mainWindow());
  ASSERT_TRUE(app.post(WM_COMMAND, kCmdAbout));
  HWND box = app.waitDialog(L"バージョン情報 tamsel");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(L"tamsel, Version 1.0", dialogItemText(box, 1001));
  EXPECT_EQ(app.mainWindow(), GetWindow(box, GW_OWNER));
  ASSERT_TRUE(pressButton(box, IDOK));
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(app.running());
  EXPECT_EQ(0u, app.end());
}

TEST_F(SettingsFileE2e, EscapeInTheOpenDialogCancelsIt) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  ASSERT_NE(nullptr, app.mainWindow());
  ASSERT_TRUE(app.post(WM_COMMAND, kCmdSettings));
  HWND dlg = app.waitDialog(L"設定");
  ASSERT_NE(nullptr, dlg);
  // A key for one of the dialog's controls: only the loop's dialog handling turns
  // Escape into Cancel.
  HWND ok = GetDlgItem(dlg, IDOK);
  ASSERT_NE(nullptr, ok);
  PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_TRUE(waitForLog(dir(), L"proc() :  CANCEL."));
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dlg); }));
  EXPECT_TRUE(waitForLog(dir(), L"receive <WM_MY_SAVE_SETTINGCHANGE>"));
  EXPECT_EQ(0u, app.end());
}

}  // namespace
