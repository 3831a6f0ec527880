// The countdown tooltip: its window, font, states and where it shows.
#include <gtest/gtest.h>

#include <memory>

#include "IndicatorWindows.h"
#include "MyToolTip.h"
#include "UniqueAny.h"
#include "tamsel.h"

using namespace indicator_test;

namespace {

class ToolTipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureInstance();
    m_parent.reset(new TestWindow(L"parent", RECT{200, 200, 350, 250}, WS_POPUP | WS_VISIBLE,
                                  kIndicatorExStyle));
    ASSERT_NE(nullptr, m_parent->hwnd());
    m_tip.reset(new MyToolTip(&m_font));
  }
  void TearDown() override {
    m_tip.reset();
    m_parent.reset();
  }
  HWND parent() const { return m_parent->hwnd(); }
  MyToolTip& tip() { return *m_tip; }

  LOGFONTW m_font = {};
  std::unique_ptr<TestWindow> m_parent;
  std::unique_ptr<MyToolTip> m_tip;
};

TEST_F(ToolTipTest, ConstructionMakesNoWindow) {
  EXPECT_EQ(0, tip().m_state);
  EXPECT_EQ(nullptr, tip().m_hWnd);
  EXPECT_EQ(nullptr, tip().m_hBrush);
  EXPECT_EQ(nullptr, tip().m_hFont.get());
  EXPECT_EQ(&m_font, tip().m_pLogFont);
}

TEST_F(ToolTipTest, CreatesAHiddenHalfTransparent20x20PopupOwnedByTheParent) {
  tip().onCreate(parent());
  EXPECT_EQ(1, tip().m_state);
  HWND h = tip().m_hWnd;
  ASSERT_NE(nullptr, h);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  EXPECT_STREQ(L"MY_TOOLTIP", cls);
  EXPECT_EQ(parent(), GetWindow(h, GW_OWNER));
  EXPECT_FALSE(IsWindowVisible(h));
  LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  LONG want = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST;
  EXPECT_EQ(want, ex & want);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_TRUE(style & 0x1);  // centred text
  RECT r = windowRect(h);
  EXPECT_EQ(20, r.right - r.left);
  EXPECT_EQ(20, r.bottom - r.top);
  LayeredAttributes a = layeredAttributes(h);
  ASSERT_TRUE(a.ok);
  EXPECT_EQ(128, a.alpha);
  EXPECT_EQ(DWORD(LWA_ALPHA), a.flags);

  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExW(g_hInst, L"MY_TOOLTIP", &wc));
  EXPECT_EQ(tip().m_hBrush, wc.hbrBackground);
  EXPECT_EQ(UINT(CS_HREDRAW | CS_VREDRAW), wc.style);
  LOGBRUSH lb;
  ASSERT_EQ((int)sizeof lb, GetObjectW(tip().m_hBrush, sizeof lb, &lb));
  EXPECT_EQ(COLORREF(0x99FFFF), lb.lbColor);
}

TEST_F(ToolTipTest, FillsTheFontRecordWithEightPointBoldMeiryo) {
  tip().onCreate(parent());
  HDC dc = GetDC(parent());
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(parent(), dc);
  EXPECT_EQ(-MulDiv(8, dpi, 72), m_font.lfHeight);
  EXPECT_EQ(700, m_font.lfWeight);
  EXPECT_EQ(128, m_font.lfCharSet);
  EXPECT_EQ(16, m_font.lfPitchAndFamily);
  EXPECT_STREQ(L"メイリオ", m_font.lfFaceName);
  EXPECT_EQ(0, m_font.lfWidth);
  EXPECT_NE(nullptr, tip().m_hFont.get());
}

TEST_F(ToolTipTest, StatesMoveOnlyAlongTheirRoad) {
  tip().addTool();  // no window yet
  EXPECT_EQ(0, tip().m_state);
  tip().onCreate(parent());
  tip().delTool();  // not active
  EXPECT_EQ(1, tip().m_state);
  tip().addTool();
  EXPECT_EQ(2, tip().m_state);
  tip().addTool();  // twice
  EXPECT_EQ(2, tip().m_state);
  tip().delTool();
  EXPECT_EQ(1, tip().m_state);
}

TEST_F(ToolTipTest, TextShowsNextToTheCursorInsideTheParent) {
  tip().onCreate(parent());
  tip().addTool();
  SetCursorPos(260, 220);
  EXPECT_TRUE(tip().setText(L"5"));
  EXPECT_TRUE(IsWindowVisible(tip().m_hWnd));
  RECT r = windowRect(tip().m_hWnd);
  EXPECT_EQ(270, r.left);
  EXPECT_EQ(220, r.top);
  EXPECT_EQ(20, r.right - r.left);
  EXPECT_EQ(20, r.bottom - r.top);
}

TEST_F(ToolTipTest, TextWithTheCursorOutsideIsKeptHiddenUntilTheCursorComesBack) {
  tip().onCreate(parent());
  tip().addTool();
  SetCursorPos(600, 600);
  EXPECT_TRUE(tip().setText(L"4"));  // the result of setting the text
  EXPECT_FALSE(IsWindowVisible(tip().m_hWnd));
  EXPECT_EQ(2, tip().m_state);
  SetCursorPos(300, 230);
  tip().setText(L"3");
  EXPECT_TRUE(IsWindowVisible(tip().m_hWnd));
}

TEST_F(ToolTipTest, RightAndBottomEdgesOfTheParentCountAsInside) {
  tip().onCreate(parent());
  RECT pr = windowRect(parent());
  POINT got = {0, 0};
  SetCursorPos(pr.right, pr.bottom);
  POINT now;
  GetCursorPos(&now);
  if (now.x != pr.right || now.y != pr.bottom) GTEST_SKIP() << "cursor could not be placed";
  EXPECT_TRUE(tip().isCursorInParent(&got));
  EXPECT_EQ(pr.right, got.x);
  EXPECT_EQ(pr.bottom, got.y);
  SetCursorPos(pr.right + 1, pr.bottom);
  EXPECT_FALSE(tip().isCursorInParent(&got));
}

TEST_F(ToolTipTest, DelToolHidesTheShownTip) {
  tip().onCreate(parent());
  tip().addTool();
  SetCursorPos(260, 220);
  tip().setText(L"1");
  ASSERT_TRUE(IsWindowVisible(tip().m_hWnd));
  tip().delTool();
  EXPECT_FALSE(IsWindowVisible(tip().m_hWnd));
}

TEST_F(ToolTipTest, DestructionUnregistersTheClassSoANewTipGetsItsOwnBrush) {
  tip().onCreate(parent());
  HWND first = tip().m_hWnd;
  m_tip.reset();
  EXPECT_FALSE(IsWindow(first));
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  EXPECT_FALSE(GetClassInfoExW(g_hInst, L"MY_TOOLTIP", &wc));

  m_tip.reset(new MyToolTip(&m_font));
  tip().onCreate(parent());
  ASSERT_TRUE(GetClassInfoExW(g_hInst, L"MY_TOOLTIP", &wc));
  EXPECT_EQ(tip().m_hBrush, wc.hbrBackground);
  LOGBRUSH lb;
  EXPECT_EQ((int)sizeof lb, GetObjectW(wc.hbrBackground, sizeof lb, &lb));  // a live brush
}

// The class's brush is the class's: a tip that goes while another tip's window still
// uses the class leaves class and brush to it.
TEST_F(ToolTipTest, TheClassBrushStaysWhileAnotherTipStillUsesTheClass) {
  tip().onCreate(parent());
  MyToolTip second(&m_font);
  second.onCreate(parent());
  m_tip.reset();
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExW(g_hInst, L"MY_TOOLTIP", &wc));
  LOGBRUSH lb;
  EXPECT_EQ((int)sizeof lb, GetObjectW(wc.hbrBackground, sizeof lb, &lb));  // a live brush
}

// The pixels of the tip's client area that are not the background colour.
int pixelsOffBackground(HWND tipWnd, COLORREF* corner) {
  RECT client = {0, 0, 0, 0};
  GetClientRect(tipWnd, &client);
  UniqueWindowDC dc = getWindowDC(tipWnd);
  *corner = GetPixel(dc.get(), 0, 0);
  int off = 0;
  for (int y = client.top; y < client.bottom; ++y) {
    for (int x = client.left; x < client.right; ++x) {
      if (GetPixel(dc.get(), x, y) != COLORREF(0x99FFFF)) ++off;
    }
  }
  return off;
}

TEST_F(ToolTipTest, PaintingTheTextLeavesTheBackgroundColourAroundIt) {
  tip().onCreate(parent());
  tip().addTool();
  SetCursorPos(260, 220);
  tip().setText(L"7");
  wts::pumpMessages();
  COLORREF corner = 0;
  paintToolTip(tip().m_hWnd, L"");
  const int offWithoutText = pixelsOffBackground(tip().m_hWnd, &corner);
  if (corner == CLR_INVALID) GTEST_SKIP() << "the window's pixels cannot be read here";
  EXPECT_EQ(0, offWithoutText) << "the background does not cover the client area";

  paintToolTip(tip().m_hWnd, L"7");
  EXPECT_GT(pixelsOffBackground(tip().m_hWnd, &corner), 0) << "no text was drawn";
  EXPECT_EQ(COLORREF(0x99FFFF), corner);  // the corner stays background
}

}  // namespace
