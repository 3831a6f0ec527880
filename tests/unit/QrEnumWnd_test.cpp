// The application-window test over real top-level windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "QrEnumWnd.h"
#include "WindowTestSupport.h"

namespace {

int isApp(HWND h) {
  QrEnumWnd test;
  return test.IsApp(h);
}

class IsAppTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HWND h : m_windows) DestroyWindow(h);
  }
  HWND make(const wchar_t* title, DWORD style, DWORD exStyle = 0, HWND parent = nullptr) {
    HWND h = wts::makeWindow(title, style, exStyle, parent);
    EXPECT_NE(nullptr, h);
    m_windows.insert(m_windows.begin(), h);  // destroyed before their owners
    return h;
  }
  std::vector<HWND> m_windows;
};

}  // namespace

TEST_F(IsAppTest, TitledTopLevelWindowAndItsChild) {
  HWND app = make(L"Application", WS_OVERLAPPEDWINDOW);
  HWND button = make(L"OK", WS_CHILD | WS_VISIBLE, 0, app);
  HWND inner = make(L"", WS_CHILD | WS_VISIBLE, 0, button);  // two levels down
  EXPECT_EQ(1, QrEnumWnd::isAppWindow(app));
  EXPECT_EQ(1, isApp(app));
  EXPECT_EQ(1, isApp(button));
  EXPECT_EQ(1, isApp(inner));
}

TEST_F(IsAppTest, PopupOwnedByAnEnabledOwnerReachesItsOwner) {
  HWND owner = make(L"Owner", WS_OVERLAPPEDWINDOW);
  HWND popup = make(L"Palette", WS_POPUP | WS_CAPTION, 0, owner);
  EXPECT_EQ(0, QrEnumWnd::isAppWindow(popup));  // not an application window itself
  EXPECT_EQ(1, isApp(popup));                   // but it belongs to one
}

TEST_F(IsAppTest, PopupOwnedByADisabledOwnerIsItselfAnApplicationWindow) {
  HWND owner = make(L"", WS_OVERLAPPEDWINDOW);  // untitled: not an application window
  HWND dialog = make(L"Modal", WS_POPUP | WS_CAPTION, 0, owner);
  EXPECT_EQ(0, isApp(dialog));
  EnableWindow(owner, FALSE);  // as while a modal dialog runs
  EXPECT_EQ(1, QrEnumWnd::isAppWindow(dialog));
  EXPECT_EQ(1, isApp(dialog));
}

TEST_F(IsAppTest, ToolWindowUntitledAndHiddenWindowsAreNot) {
  HWND tool = make(L"Tool", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
  HWND untitled = make(L"", WS_OVERLAPPEDWINDOW);
  HWND toolChild = make(L"Child", WS_CHILD | WS_VISIBLE, 0, tool);
  HWND hidden =
      wts::makeWindow(L"Hidden", WS_OVERLAPPEDWINDOW, 0, nullptr, {0, 0, 100, 100}, false);
  m_windows.push_back(hidden);
  EXPECT_EQ(0, isApp(tool));
  EXPECT_EQ(0, isApp(untitled));
  EXPECT_EQ(0, isApp(toolChild));
  EXPECT_EQ(0, isApp(hidden));
  // Turning the hidden one visible makes it an application window.
  ShowWindow(hidden, SW_SHOWNOACTIVATE);
  EXPECT_EQ(1, isApp(hidden));
}

TEST_F(IsAppTest, NullAndDestroyedWindows) {
  EXPECT_EQ(0, isApp(nullptr));
  HWND gone = wts::makeWindow(L"Gone", WS_OVERLAPPEDWINDOW);
  ASSERT_NE(nullptr, gone);
  DestroyWindow(gone);
  EXPECT_EQ(0, isApp(gone));
}

TEST_F(IsAppTest, OneObjectAnswersAgainAfterAMatch) {
  HWND app = make(L"Application", WS_OVERLAPPEDWINDOW);
  HWND tool = make(L"Tool", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
  QrEnumWnd test;
  EXPECT_EQ(1, test.IsApp(app));
  EXPECT_EQ(app, test.m_hWndCheck);
  EXPECT_EQ(0, test.IsApp(tool));  // the earlier match does not carry over
  EXPECT_TRUE(test.m_unused.empty());
}
