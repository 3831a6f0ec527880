// The item and page bases on their own, the number fields' text, and the dialog's
// failure roads.
#include <windows.h>

#include <gtest/gtest.h>

#include "MyDialogTabDisp.h"
#include "MyDialogTabFont.h"
#include "MyDialogTabRun.h"
#include "resource.h"
#include "WindowTestSupport.h"

namespace {

// An item that answers every question with a fixed result and counts the questions.
class FakeItem : public CMyTabItem {
 public:
  explicit FakeItem(int answer) : m_answer(answer) {}
  void bindControls(HWND page) override { hPage = page; }
  void updateControls() override {}
  INT_PTR onCommand(WPARAM, LPARAM) override { return ask(); }
  INT_PTR onCtlColorStatic(WPARAM, LPARAM) override { return ask(); }
  int onParentMode(int, int) override { return (int)ask(); }
  int asked = 0;

 private:
  INT_PTR ask() {
    ++asked;
    return m_answer;
  }
  int m_answer;
};

class FakePage : public CMyDialogTab {
 public:
  FakePage() : CMyDialogTab(0) {}
  HWND getEdgeControl(int) override { return nullptr; }
};

TEST(ItemBase, FirstAnswerEndsTheSearch) {
  FakePage page;
  auto quiet = std::make_shared<FakeItem>(0);
  auto taker = std::make_shared<FakeItem>(7);
  auto later = std::make_shared<FakeItem>(9);
  page.items = {quiet, taker, later};
  EXPECT_EQ(7, page.onCommand(0, 0));
  EXPECT_EQ(7, page.onCtlColorStatic(0, 0));
  EXPECT_EQ(0, later->asked);
  EXPECT_EQ(2, quiet->asked);
  // Messages no item overrides reach none and give 0 (the dialog manager's default).
  EXPECT_EQ(0, page.onHScroll(0, 0));
  EXPECT_EQ(0, page.onNotify(0, 0));

  FakeItem parent(0);
  parent.notifyChildren(1);  // no children: nothing happens
  parent.children = {quiet.get(), taker.get(), later.get()};
  parent.notifyChildren(1);
  EXPECT_EQ(3, quiet->asked);
  EXPECT_EQ(3, taker->asked);
  EXPECT_EQ(0, later->asked);
}

TEST(ItemBase, MissingControlIsLoggedOnceAndTheItemWorksOn) {
  wts::LogCapture log(L"items-missing.log");
  // The font page has no control 1011.
  HWND parent = wts::makeWindow(L"pages", WS_OVERLAPPEDWINDOW, 0, nullptr, {0, 0, 300, 200}, false);
  ASSERT_NE(nullptr, parent);
  HWND fontPage = CreateDialogParamW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TAB_FONT), parent,
      [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
  ASSERT_NE(nullptr, fontPage);
  CMyItemIndShow item;
  item.value = 1;
  item.init(fontPage, nullptr);
  item.refresh();
  EXPECT_EQ(1u, log.count(L"GetDlgItem(1011) : NULL"));
  EXPECT_EQ(0u, log.count(L"SendMessage(msg="));
  EXPECT_EQ(1, item.value);
  // A click reported for its id still changes the value (nothing is checked).
  EXPECT_EQ(1, item.onCommand(MAKEWPARAM(IDC_CHECK1, BN_CLICKED), 0));
  EXPECT_EQ(0, item.value);
  EXPECT_EQ(0, item.onCommand(MAKEWPARAM(IDC_CHECK2, BN_CLICKED), 0));
  DestroyWindow(parent);
}

TEST(SpinText, DecimalIntegersHeldWithinTheRange) {
  int v = 42;
  EXPECT_TRUE(parseSpinText(L"500", 10, 1000, &v));
  EXPECT_EQ(500, v);
  EXPECT_TRUE(parseSpinText(L" 7 ", -1, 60, &v));
  EXPECT_EQ(7, v);
  EXPECT_TRUE(parseSpinText(L"5", 10, 1000, &v));
  EXPECT_EQ(10, v);
  EXPECT_TRUE(parseSpinText(L"-5", -1, 60, &v));
  EXPECT_EQ(-1, v);
  EXPECT_TRUE(parseSpinText(L"99999999999999999999", -1, 60, &v));
  EXPECT_EQ(60, v);
  v = 42;
  for (const wchar_t* bad : {L"", L"-", L"ab", L"1 2", L"12x", L"0x10"}) {
    EXPECT_FALSE(parseSpinText(bad, 10, 1000, &v)) << toMultiByte(bad);
  }
  EXPECT_EQ(42, v);
}

// The header of a dialog template of this program (an extended template).
struct TemplateHead {
  DWORD exStyle = 0, style = 0;
  WORD items = 0;
  short cx = 0, cy = 0;
  WORD points = 0, weight = 0;
  BYTE charset = 0;
  std::wstring face;
};

// Skips a menu or class field: none, an ordinal, or a string.
const WORD* skipSzOrOrd(const WORD* p) {
  if (*p == 0) return p + 1;
  if (*p == 0xFFFF) return p + 2;
  while (*p) ++p;
  return p + 1;
}

bool readTemplate(int id, TemplateHead* t) {
  HRSRC res = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), (LPCWSTR)RT_DIALOG);
  if (!res) return false;
  const BYTE* b = (const BYTE*)LockResource(LoadResource(GetModuleHandleW(nullptr), res));
  if (!b || ((const WORD*)b)[1] != 0xFFFF) return false;
  memcpy(&t->exStyle, b + 8, 4);
  memcpy(&t->style, b + 12, 4);
  memcpy(&t->items, b + 16, 2);
  memcpy(&t->cx, b + 22, 2);
  memcpy(&t->cy, b + 24, 2);
  const WORD* p = skipSzOrOrd(skipSzOrOrd((const WORD*)(b + 26)));
  while (*p) ++p;  // the title
  ++p;
  t->points = p[0];
  t->weight = p[1];
  t->charset = ((const BYTE*)p)[5];
  t->face = (const wchar_t*)(p + 3);
  return true;
}

TEST(Templates, PagesAreChildDialogsInTheJapaneseFont) {
  struct Want {
    int id;
    short cx, cy;
    WORD items;
  } pages[] = {{IDD_TAB_DISP, 315, 176, 12},
               {IDD_TAB_COLOR, 315, 162, 15},
               {IDD_TAB_FONT, 315, 129, 10},
               {IDD_TAB_EFFECT, 315, 128, 7},
               {IDD_TAB_RUN, 316, 183, 8}};
  for (const Want& w : pages) {
    TemplateHead t;
    ASSERT_TRUE(readTemplate(w.id, &t)) << w.id;
    EXPECT_EQ((DWORD)(WS_CHILD | DS_SETFONT), t.style) << w.id;
    EXPECT_EQ((DWORD)WS_EX_CONTROLPARENT, t.exStyle) << w.id;
    EXPECT_EQ(w.cx, t.cx) << w.id;
    EXPECT_EQ(w.cy, t.cy) << w.id;
    EXPECT_EQ(w.items, t.items) << w.id;
    EXPECT_EQ(8, t.points) << w.id;
    EXPECT_EQ(400, t.weight) << w.id;
    EXPECT_EQ(128, t.charset) << w.id;
    EXPECT_EQ(L"メイリオ", t.face) << w.id;
  }
}

std::vector<WPARAM> g_reports;
BOOL recordReport(WPARAM changed, LPARAM) {
  g_reports.push_back(changed);
  return TRUE;
}

TEST(DialogFaults, FailedCreationEndsTheDialogStateAsCancelWould) {
  wts::LogCapture log(L"dialog-failed.log");
  g_reports.clear();
  MyDialogBox box;
  CMySerialize settings;
  // A module without the dialog's template.
  box.open(GetModuleHandleW(L"kernel32.dll"), nullptr, &settings, recordReport);
  EXPECT_EQ(nullptr, box.hDlg);
  EXPECT_EQ(std::vector<WPARAM>{0}, g_reports);
  EXPECT_EQ(1u, log.count(L"ERROR    : CreateDialog()"));
}

TEST(DialogFaults, ReportIsTakenOnlyOnceTheDialogHasClosed) {
  g_reports.clear();
  MyDialogBox box;
  CMySerialize settings;
  EXPECT_FALSE(acceptSettingChange(true, nullptr));
  box.open(GetModuleHandleW(nullptr), nullptr, &settings, recordReport);
  ASSERT_NE(nullptr, box.hDlg);
  EXPECT_FALSE(acceptSettingChange(true, &box)) << "a stray report under the open dialog";
  SendMessageW(box.hDlg, WM_CLOSE, 0, 0);
  EXPECT_EQ(std::vector<WPARAM>{0}, g_reports);
  EXPECT_TRUE(acceptSettingChange(true, &box));
  EXPECT_FALSE(acceptSettingChange(false, &box)) << "no dialog state";
}

}  // namespace
