// The IME state of the target and its label.
//
// The target here is a window on a second thread of the test process. Its default IME
// window is subclassed so that it answers WM_IME_CONTROL with chosen values, on time or
// late. (A target in another process cannot be shown under Wine: there
// ImmGetDefaultIMEWnd gives no IME window across processes, and the target reads as
// closed.)
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "PlatformDefs.h"
#include "UniqueAny.h"
#include "Watch.h"
#include "WatchProbe.h"
#include "WindowTestSupport.h"

// ------------------------------------------------------------------ label table, pure

TEST(ImeLabel, EveryRowOfTheTable) {
  EXPECT_STREQ(L"_A", Watch::labelOf(0x00));
  EXPECT_STREQ(L"_\uFF71", Watch::labelOf(0x03));
  EXPECT_STREQ(L"\uFF21", Watch::labelOf(0x08));
  EXPECT_STREQ(L"\u3042", Watch::labelOf(0x09));
  EXPECT_STREQ(L"\u30A2", Watch::labelOf(0x0B));
  EXPECT_STREQ(L"_A", Watch::labelOf(0x10));
  EXPECT_STREQ(L"_\uFF71", Watch::labelOf(0x13));
  EXPECT_STREQ(L"\uFF21", Watch::labelOf(0x18));
  EXPECT_STREQ(L"\u3042", Watch::labelOf(0x19));
  EXPECT_STREQ(L"\u30A2", Watch::labelOf(0x1B));
  EXPECT_STREQ(L"A", Watch::labelOf(-1));
}

TEST(ImeLabel, RomanBitNeverChangesTheLabel) {
  for (int mode : {0x00, 0x03, 0x08, 0x09, 0x0B}) {
    EXPECT_EQ(Watch::labelOf(mode), Watch::labelOf(mode | IME_CMODE_ROMAN)) << mode;
  }
}

TEST(ImeLabel, ExactMatchesOnly) {
  EXPECT_STREQ(L"A", Watch::labelOf(0x19 | IME_CMODE_SOFTKBD));  // 0x99
  EXPECT_STREQ(L"A", Watch::labelOf(0x09 | IME_CMODE_CHARCODE));
  EXPECT_STREQ(L"A", Watch::labelOf(IME_CMODE_NATIVE));  // 0x01 alone is no row
  EXPECT_STREQ(L"A", Watch::labelOf(0x02));
  EXPECT_STREQ(L"A", Watch::labelOf(0x7FFFFFFF));
  EXPECT_STREQ(L"A", Watch::labelOf(-2));
  // The label is a static string: the same pointer every time.
  EXPECT_EQ(Watch::labelOf(0x09), Watch::labelOf(0x19));
}

// ------------------------------------------------------------------ in-process IME

namespace {

// What the subclassed IME window answers, and whether it holds its answer back until
// the test lets it go (a target too busy to answer in time).
struct ImeScript {
  std::atomic<int> open{0};
  std::atomic<int> mode{0};
  std::atomic<bool> holdOpen{false};
  std::atomic<bool> holdMode{false};
  std::atomic<int> openQueries{0};
  std::atomic<int> modeQueries{0};
  UniqueHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

  void hold(bool open, bool mode) {
    ResetEvent(release.get());
    holdOpen = open;
    holdMode = mode;
  }
  // Lets every held answer go, and answers at once from now on.
  void letGo() {
    holdOpen = false;
    holdMode = false;
    SetEvent(release.get());
  }
  void waitIfHeld(bool held) {
    if (held) WaitForSingleObject(release.get(), testwait::kDefaultTimeoutMs);
  }
};

ImeScript* s_script = nullptr;
WNDPROC s_imeProc = nullptr;

LRESULT CALLBACK scriptedImeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_IME_CONTROL && w == IMC_GETOPENSTATUS) {
    ++s_script->openQueries;
    s_script->waitIfHeld(s_script->holdOpen);
    return s_script->open;
  }
  if (m == WM_IME_CONTROL && w == IMC_GETCONVERSIONMODE) {
    ++s_script->modeQueries;
    s_script->waitIfHeld(s_script->holdMode);
    return s_script->mode;
  }
  return CallWindowProcW(s_imeProc, h, m, w, l);
}

constexpr UINT WM_TEST_FOCUS_EDIT = WM_APP + 50;

LRESULT CALLBACK targetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY) PostQuitMessage(0);
  if (m == WM_TEST_FOCUS_EDIT) return (LRESULT)SetFocus(GetWindow(h, GW_CHILD));
  return DefWindowProcW(h, m, w, l);
}

// A captioned target window with an edit control, running on a thread of its own.
class TargetThread {
 public:
  explicit TargetThread(ImeScript* script) {
    s_script = script;
    m_thread = std::thread([this] { run(); });
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ready.wait(lock, [this] { return m_started; });
  }
  ~TargetThread() {
    if (m_window) PostMessageW(m_window, WM_CLOSE, 0, 0);
    m_thread.join();
    s_script = nullptr;
  }
  HWND m_window = nullptr;
  HWND m_edit = nullptr;
  HWND m_ime = nullptr;

 private:
  void run() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = targetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvelaImeTarget";
    RegisterClassExW(&wc);
    m_window = CreateWindowExW(0, wc.lpszClassName, L"IME target", WS_OVERLAPPEDWINDOW, 200, 200,
                               400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    m_edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24,
                             m_window, nullptr, wc.hInstance, nullptr);
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    HIMC imc = ImmGetContext(m_window);
    if (imc != nullptr) {
      ImmSetOpenStatus(imc, TRUE);  // brings the default IME window to life
      ImmReleaseContext(m_window, imc);
    }
    m_ime = ImmGetDefaultIMEWnd(m_window);
    if (m_ime != nullptr) {
      s_imeProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(m_ime, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(scriptedImeProc)));
    }
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_started = true;
    }
    m_ready.notify_all();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_ready;
  bool m_started = false;
};

class WatchIme : public ::testing::Test {
 protected:
  void SetUp() override {
    m_target.reset(new TargetThread(&m_script));
    ASSERT_NE(nullptr, m_target->m_window);
    if (m_target->m_ime == nullptr) GTEST_SKIP() << "no default IME window in this process";
    m_watch.reset(new Watch());
    WatchProbe::hTarget(*m_watch) = m_target->m_window;
  }
  void TearDown() override {
    m_script.letGo();
    m_watch.reset();
    m_target.reset();
  }
  // One query, with the time it took in milliseconds.
  int query(long long* elapsedMs = nullptr) {
    auto begin = std::chrono::steady_clock::now();
    int open = m_watch->getImeState();
    auto end = std::chrono::steady_clock::now();
    if (elapsedMs) {
      *elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(end - begin).count();
    }
    return open;
  }

  wts::WatchGlobals m_globals;
  ImeScript m_script;
  std::unique_ptr<TargetThread> m_target;
  std::unique_ptr<Watch> m_watch;
};

}  // namespace

TEST_F(WatchIme, OpenImeGivesEachConversionModeAndItsLabel) {
  struct Case {
    int mode;
    const wchar_t* label;
  } cases[] = {{0x09, L"\u3042"},  {0x19, L"\u3042"},  {0x0B, L"\u30A2"}, {0x1B, L"\u30A2"},
               {0x03, L"_\uFF71"}, {0x13, L"_\uFF71"}, {0x08, L"\uFF21"}, {0x18, L"\uFF21"},
               {0x00, L"_A"},      {0x10, L"_A"},      {0x99, L"A"}};
  m_script.open = 1;
  long long total = 0;
  for (const Case& c : cases) {
    m_script.mode = c.mode;
    long long elapsed = 0;
    EXPECT_EQ(1, query(&elapsed)) << c.mode;
    total += elapsed;
    EXPECT_EQ(1, WatchProbe::imeOpen(*m_watch));
    EXPECT_EQ(c.mode, WatchProbe::convMode(*m_watch));
    EXPECT_STREQ(c.label, Watch::labelOf(
                              WatchProbe::imeOpen(*m_watch) ? WatchProbe::convMode(*m_watch) : -1));
  }
  std::printf("%d prompt queries took %lld ms in all\n", (int)(sizeof(cases) / sizeof(cases[0])),
              total);
}

TEST_F(WatchIme, ClosedImeCostsOneMessageAndKeepsTheLastMode) {
  m_script.open = 1;
  m_script.mode = 0x19;
  ASSERT_EQ(1, query());
  m_script.open = 0;
  m_script.mode = 0x0B;
  int before = m_script.openQueries, modesBefore = m_script.modeQueries;
  EXPECT_EQ(0, query());
  EXPECT_EQ(0, WatchProbe::imeOpen(*m_watch));
  EXPECT_EQ(0x19, WatchProbe::convMode(*m_watch));
  EXPECT_EQ(before + 1, m_script.openQueries.load());
  EXPECT_EQ(modesBefore, m_script.modeQueries.load());
  EXPECT_STREQ(L"A",
               Watch::labelOf(WatchProbe::imeOpen(*m_watch) ? WatchProbe::convMode(*m_watch) : -1));
}

TEST_F(WatchIme, OpenStatusIsTheLow32BitsOfTheAnswer) {
  m_script.open = 2;
  m_script.mode = 0x09;
  EXPECT_EQ(2, query());
  EXPECT_EQ(2, WatchProbe::imeOpen(*m_watch));
}

TEST_F(WatchIme, LateTargetCountsAsClosedWithinTheTimeouts) {
  m_script.open = 1;
  m_script.mode = 0x09;
  ASSERT_EQ(1, query());
  m_script.mode = 0x0B;
  m_script.hold(true, true);
  long long elapsed = 0;
  EXPECT_EQ(0, query(&elapsed));
  EXPECT_EQ(0, WatchProbe::imeOpen(*m_watch));
  EXPECT_EQ(0x09, WatchProbe::convMode(*m_watch));
  std::printf("late target read as closed after %lld ms\n", elapsed);

  // The next tick asks again and reads the answer once the target keeps up.
  m_script.letGo();
  EXPECT_EQ(1, query());
  EXPECT_EQ(0x0B, WatchProbe::convMode(*m_watch));
}

TEST_F(WatchIme, LateConversionModeKeepsTheOpenStatusAndTheOldMode) {
  m_script.open = 1;
  m_script.mode = 0x03;
  ASSERT_EQ(1, query());
  m_script.mode = 0x18;
  m_script.hold(false, true);
  long long elapsed = 0;
  EXPECT_EQ(1, query(&elapsed));
  EXPECT_EQ(1, WatchProbe::imeOpen(*m_watch));
  EXPECT_EQ(0x03, WatchProbe::convMode(*m_watch));
  std::printf("late conversion mode given up after %lld ms\n", elapsed);
  m_script.letGo();
  EXPECT_EQ(1, query());
  EXPECT_EQ(0x18, WatchProbe::convMode(*m_watch));
}

TEST_F(WatchIme, FocusWindowOfTheTargetThread) {
  // Without a focus window on its thread the target itself is asked.
  HWND focus = m_watch->getFocusWindow(m_target->m_window);
  EXPECT_TRUE(focus == m_target->m_window || IsChild(m_target->m_window, focus));
  // With the edit control focused on the target's thread, the edit control is asked.
  SendMessageW(m_target->m_window, WM_TEST_FOCUS_EDIT, 0, 0);
  EXPECT_EQ(m_target->m_edit, m_watch->getFocusWindow(m_target->m_window));
  m_script.open = 1;
  m_script.mode = 0x09;
  EXPECT_EQ(1, query());  // the edit control's IME window is the thread's default one
  wts::LogCapture log(L"h3_ime_focus.log");
  EXPECT_EQ(nullptr, m_watch->getFocusWindow(nullptr));
  EXPECT_TRUE(log.contains(L"ERROR    : GetWindowThreadProcessId(target)")) << log.text();
}

TEST_F(WatchIme, VanishedTargetReadsClosedButKeepsTheMode) {
  m_script.open = 1;
  m_script.mode = 0x0B;
  ASSERT_EQ(1, query());
  wts::LogCapture log(L"h3_ime_gone.log");
  WatchProbe::hTarget(*m_watch) = nullptr;
  EXPECT_EQ(0, query());
  EXPECT_EQ(0, WatchProbe::imeOpen(*m_watch));  // drawn as closed
  EXPECT_EQ(0x0B, WatchProbe::convMode(*m_watch));
  EXPECT_TRUE(log.contains(L"INFO     : getImeState() : No Target Window.")) << log.text();
}

TEST_F(WatchIme, TargetWithoutImeWindowReadsClosed) {
  m_script.open = 1;
  m_script.mode = 0x09;
  ASSERT_EQ(1, query());
  // The desktop belongs to another process; there the IME window cannot be had under
  // Wine. On Windows it may answer; then this case has nothing to show.
  HWND foreign = GetDesktopWindow();
  if (ImmGetDefaultIMEWnd(foreign) != nullptr) GTEST_SKIP() << "the desktop has an IME window";
  wts::LogCapture log(L"h3_ime_none.log");
  WatchProbe::hTarget(*m_watch) = foreign;
  EXPECT_EQ(0, query());
  EXPECT_EQ(0, WatchProbe::imeOpen(*m_watch));
  EXPECT_EQ(0x09, WatchProbe::convMode(*m_watch));
  EXPECT_TRUE(log.contains(L"getImeState() : IME No Target Window.")) << log.text();
}

TEST_F(WatchIme, ImeWindowNotificationsDoNotRedraw) {
  HWND indicator = wts::makeWindow(L"Corvela", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
  WatchProbe::hWnd(*m_watch) = indicator;
  WatchProbe::state(*m_watch) = 2;
  WatchProbe::show(*m_watch) = 7;
  m_watch->onImeNotify(m_target->m_ime);  // class "IME"
  EXPECT_EQ(7, WatchProbe::show(*m_watch));
  m_watch->onImeNotify(m_target->m_edit);  // any other class redraws the target
  EXPECT_NE(7, WatchProbe::show(*m_watch));

  // A creation report of an IME window is remembered.
  m_watch->onUpdateCreate(m_target->m_ime);
  EXPECT_EQ(m_target->m_ime, WatchProbe::hLastActive(*m_watch));
  DestroyWindow(indicator);
}

TEST_F(WatchIme, DetectTargetReadsTheTargetsState) {
  HWND indicator = wts::makeWindow(L"Corvela", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
  WatchProbe::hWnd(*m_watch) = indicator;
  WatchProbe::state(*m_watch) = 2;
  m_script.open = 1;
  m_script.mode = 0x1B;
  m_watch->detectTarget(m_target->m_window);
  EXPECT_EQ(1, WatchProbe::show(*m_watch));
  EXPECT_EQ(1, WatchProbe::imeOpen(*m_watch));
  EXPECT_EQ(0x1B, WatchProbe::convMode(*m_watch));
  // Hidden: the IME is not asked at all.
  int asked = m_script.openQueries;
  WatchProbe::dialog(*m_watch) = 1;
  m_watch->detectTarget(m_target->m_window);
  EXPECT_EQ(0, WatchProbe::show(*m_watch));
  EXPECT_EQ(asked, m_script.openQueries.load());
  DestroyWindow(indicator);
}
