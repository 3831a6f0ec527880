// The settings dialog of the real Corvela.exe, driven from outside as a user would:
// tabs chosen with the keyboard, controls clicked, an up-down arrow clicked, a number
// typed, OK, Cancel and the close box; the settings file checked on disk.
#include <windows.h>

#include <commctrl.h>

#include "E2eSupport.h"
#include "IndicatorSupport.h"

using namespace e2e;

namespace {

constexpr wchar_t kSettingsFile[] = L"Corvela.xml";
constexpr wchar_t kSettingsCaption[] = L"設定";
constexpr int kTabControl = 1020;

class DialogE2e : public CorvelaTest {
 protected:
  // Starts Corvela and opens its settings dialog with the tray menu's command.
  HWND startAndOpen() {
    CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
    m_app = &app;
    if (!app.mainWindow()) return nullptr;
    return open();
  }
  HWND open() {
    m_app->post(WM_COMMAND, kCmdSettings);
    return m_app->waitDialog(kSettingsCaption);
  }

  // The page shown in the dialog: its one visible child dialog.
  static HWND shownPage(HWND dlg) {
    HWND shown = nullptr;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (className(c) == kDialogClass && IsWindowVisible(c)) {
        if (shown) return nullptr;  // two pages shown at once
        shown = c;
      }
    }
    return shown;
  }

  // Moves the tab selection with the arrow keys until tab i is selected and its page
  // shown; returns the control id of that page, or null.
  static HWND control(HWND dlg, int tab, int id) {
    HWND tabs = GetDlgItem(dlg, kTabControl);
    for (int tries = 0; tries < 10; ++tries) {
      const LRESULT cur = SendMessageW(tabs, TCM_GETCURSEL, 0, 0);
      if (cur == tab) break;
      PostMessageW(tabs, WM_KEYDOWN, cur < tab ? VK_RIGHT : VK_LEFT, 1);
      waitUntil([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != cur; }, 5000);
    }
    HWND found = nullptr;
    waitUntil([&] {
      HWND page = shownPage(dlg);
      found = page ? GetDlgItem(page, id) : nullptr;
      return found != nullptr;
    });
    return found;
  }

  // A left click at a point of the control's client area (the middle by default).
  static void click(HWND control, int x = -1, int y = -1) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(x < 0 ? r.right / 2 : x, y < 0 ? r.bottom / 2 : y);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
  }
  static void clickUpArrow(HWND upDown) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(upDown, &r);
    click(upDown, r.right / 2, r.bottom / 4);
  }
  static bool checked(HWND button) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
  }
  // Clicks a check box or radio and waits until it shows the state.
  static bool clickUntil(HWND button, bool wantChecked) {
    click(button);
    return waitUntil([&] { return checked(button) == wantChecked; });
  }
  // Types text into an edit box after selecting what it holds.
  static bool type(HWND edit, const std::wstring& text) {
    click(edit);
    // The click puts the caret somewhere in the text: select it all once the box has
    // the focus.
    const DWORD thread = GetWindowThreadProcessId(edit, nullptr);
    if (!waitUntil([&] {
          GUITHREADINFO info = {};
          info.cbSize = sizeof info;
          return GetGUIThreadInfo(thread, &info) && info.hwndFocus == edit;
        }))
      return false;
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t ch : text) PostMessageW(edit, WM_CHAR, ch, 1);
    return waitUntil([&] { return windowText(edit) == text; });
  }

  // A visible dialog of the program owned by the settings dialog (a common dialog).
  HWND waitOwnedDialog(HWND dlg) {
    HWND found = nullptr;
    waitUntil([&] {
      for (HWND h : allTopLevel(kDialogClass, nullptr)) {
        if (h != dlg && processOf(h) == m_app->pid() && IsWindowVisible(h) &&
            GetWindow(h, GW_OWNER) == dlg)
          found = h;
      }
      return found != nullptr;
    });
    return found;
  }

  std::string settingsText() const { return readFile(file(kSettingsFile)); }
  std::string setting(const char* name) const { return elementText(settingsText(), name); }

  CorvelaProcess* m_app = nullptr;
};

TEST_F(DialogE2e, ChangesOnThePagesLandInTheFileAndApplyAtOnce) {
  CorvelaProcess& app = startAndWait(L"/DBG:111:INFO");
  m_app = &app;
  ASSERT_NE(nullptr, app.mainWindow());
  // The indicator marks a window of the test before the dialog opens.
  TargetWindow target(L"Corvela target", RECT{120, 140, 620, 440});
  bringToFront(target);
  const RECT strip = captionStrip(target.hwnd());
  ASSERT_TRUE(waitIndicator(
      app.mainWindow(), [&](const IndicatorState& st) { return st.at(strip); }, nullptr));
  HWND dlg = open();
  ASSERT_NE(nullptr, dlg);
  ASSERT_EQ("200", setting("loopInterval"));  // the defaults were written at start-up

  // Display page: fixed mode, icon off.
  HWND fixed = control(dlg, 0, 1002);
  ASSERT_NE(nullptr, fixed);
  ASSERT_TRUE(clickUntil(fixed, true));
  EXPECT_FALSE(IsWindowEnabled(control(dlg, 0, 1004))) << "the position is for float mode";
  ASSERT_TRUE(clickUntil(control(dlg, 0, 1012), false));

  // Effect page: the gradient on, its pitch trackbar usable.
  ASSERT_TRUE(clickUntil(control(dlg, 3, 1011), true));
  EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(control(dlg, 3, 1017)) != 0; }));

  // Run page: one click on the interval's up arrow, a typed move-wait count.
  HWND interval = control(dlg, 4, 1024);
  ASSERT_NE(nullptr, interval);
  clickUpArrow(control(dlg, 4, 1023));
  EXPECT_TRUE(waitUntil([&] { return windowText(interval) == L"201"; }))
      << narrow(windowText(interval));
  ASSERT_TRUE(type(control(dlg, 4, 1026), L"7"));

  click(GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(waitForLog(dir(), L"設定変更あり : end."));
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_EQ("1", setting("dMode"));
  EXPECT_EQ("0", setting("iconShow"));
  EXPECT_EQ("1", setting("effect"));
  EXPECT_EQ("201", setting("loopInterval"));
  EXPECT_EQ("7", setting("transTimerCnt"));
  // Applied at once: the fixed indicator stands at its stored rectangle.
  const RECT pos = rectElement(settingsText(), "dModePos");
  IndicatorState s;
  EXPECT_TRUE(waitIndicator(
      m_app->mainWindow(), [&](const IndicatorState& st) { return st.at(pos) && st.visible; }, &s))
      << describe(s);
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(DialogE2e, MoveWaitCountOfMinusOneLogsNoSendFailure) {
  {
    CorvelaProcess& first = startAndWait(L"");  // writes the default settings file
    ASSERT_NE(nullptr, first.mainWindow());
    ASSERT_EQ(0u, first.end());
  }
  std::string xml = settingsText();
  ASSERT_TRUE(setElement(xml, "transTimerCnt", "-1"));
  ASSERT_TRUE(writeFile(file(kSettingsFile), xml));

  HWND dlg = startAndOpen();
  ASSERT_NE(nullptr, dlg);
  HWND count = control(dlg, 4, 1026);
  ASSERT_NE(nullptr, count);
  EXPECT_EQ(L"-1", windowText(count));
  // Opened again while open: the up-down control, already at -1, is set once more.
  ASSERT_TRUE(m_app->post(WM_COMMAND, kCmdSettings));
  ASSERT_TRUE(m_app->drain());
  ASSERT_TRUE(type(count, L"3"));

  click(GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(waitForLog(dir(), L"設定変更あり : end."));
  EXPECT_EQ("3", setting("transTimerCnt"));
  const std::wstring log = readLog(dir());
  EXPECT_FALSE(contains(log, L"SendMessage")) << narrow(log);
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(DialogE2e, FailingSaveIsLoggedAndTheProgramRunsOn) {
  HWND dlg = startAndOpen();
  ASSERT_NE(nullptr, dlg);
  // A directory in the file's place: no save can succeed.
  ASSERT_TRUE(DeleteFileW(file(kSettingsFile).c_str()));
  ASSERT_TRUE(CreateDirectoryW(file(kSettingsFile).c_str(), nullptr));

  // A change confirmed with OK, which saves the record.
  ASSERT_TRUE(clickUntil(control(dlg, 0, 1012), false));
  click(GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(waitForLog(dir(), L"設定変更あり : end."));
  EXPECT_TRUE(m_app->running());
  const DWORD attributes = GetFileAttributesW(file(kSettingsFile).c_str());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(contains(readLog(dir()), L"ERROR")) << narrow(readLog(dir()));
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(DialogE2e, CancelAndTheCloseBoxLeaveTheFileAsItWas) {
  HWND dlg = startAndOpen();
  ASSERT_NE(nullptr, dlg);
  const std::string before = settingsText();
  ASSERT_FALSE(before.empty());
  const ULONGLONG written = fileWriteTime(file(kSettingsFile));

  ASSERT_TRUE(clickUntil(control(dlg, 0, 1002), true));
  ASSERT_TRUE(clickUntil(control(dlg, 3, 1012), true));
  click(GetDlgItem(dlg, IDCANCEL));
  ASSERT_TRUE(waitForLog(dir(), L"proc() :  CANCEL."));
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dlg); }));

  // Opened again, the pages show the file's values; the close box ends it like Cancel.
  dlg = open();
  ASSERT_NE(nullptr, dlg);
  EXPECT_TRUE(checked(control(dlg, 0, 1001)));
  ASSERT_TRUE(clickUntil(control(dlg, 0, 1002), true));
  PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dlg); }));
  ASSERT_TRUE(waitUntil(
      [&] { return countOf(readLog(dir()), L"receive <WM_MY_SAVE_SETTINGCHANGE>") == 2; }));
  EXPECT_FALSE(contains(readLog(dir()), L"設定変更あり")) << narrow(readLog(dir()));
  EXPECT_EQ(before, settingsText());
  EXPECT_EQ(written, fileWriteTime(file(kSettingsFile)));
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(DialogE2e, ColourAndFontDialogsOpenOverTheSettingsDialogAndTheirCancelKeepsAll) {
  HWND dlg = startAndOpen();
  ASSERT_NE(nullptr, dlg);
  const std::string before = settingsText();

  click(control(dlg, 1, 1003));  // "色選択" of "IME OFF"
  HWND colour = waitOwnedDialog(dlg);
  ASSERT_NE(nullptr, colour) << "no colour dialog over the settings dialog";
  ASSERT_TRUE(pressButton(colour, IDCANCEL));
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(colour); }));

  click(control(dlg, 2, 1008));  // "フォント選択"
  HWND font = waitOwnedDialog(dlg);
  ASSERT_NE(nullptr, font) << "no font dialog over the settings dialog";
  ASSERT_TRUE(pressButton(font, IDCANCEL));
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(font); }));

  std::wstring log = readLog(dir());
  EXPECT_TRUE(contains(log, L"onCommand(1003/BN_CLICKED)")) << narrow(log);
  EXPECT_TRUE(contains(log, L"onCommand(FONT/BN_CLICKED)")) << narrow(log);
  click(GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(waitForLog(dir(), L"STORE 変更なし"));
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dlg); }));
  EXPECT_EQ(before, settingsText());
  EXPECT_EQ(0u, m_app->end());
}

TEST_F(DialogE2e, TabKeyRunsTabControlPageControlsOkCancel) {
  HWND dlg = startAndOpen();
  ASSERT_NE(nullptr, dlg);
  const DWORD thread = GetWindowThreadProcessId(dlg, nullptr);
  auto focus = [&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  };
  HWND tabs = GetDlgItem(dlg, kTabControl);
  ASSERT_TRUE(waitUntil([&] { return focus() == tabs; }))
      << "the tab control starts with the focus";
  HWND page = shownPage(dlg);
  ASSERT_NE(nullptr, page);
  // Through the program's message loop, as the keyboard would send it.
  std::vector<HWND> order;
  for (int i = 0; i < 8 && (order.empty() || order.back() != tabs); ++i) {
    HWND from = focus();
    PostMessageW(from, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageW(from, WM_KEYUP, VK_TAB, 0xC00F0001);
    ASSERT_TRUE(waitUntil([&] { return focus() != from; })) << "Tab left the focus at " << i;
    order.push_back(focus());
  }
  // tab control -> 1001 -> trackbar -> the two check boxes -> OK -> Cancel -> tab control
  const std::vector<HWND> want = {GetDlgItem(page, 1001),
                                  GetDlgItem(page, 1004),
                                  GetDlgItem(page, 1011),
                                  GetDlgItem(page, 1012),
                                  GetDlgItem(dlg, IDOK),
                                  GetDlgItem(dlg, IDCANCEL),
                                  tabs};
  EXPECT_EQ(want, order);
  EXPECT_EQ(0u, m_app->end());
}

}  // namespace
