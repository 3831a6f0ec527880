// The splash screen in-process: its frame and fade arithmetic, its thread and window
// with the program's own pictures, and its ending at any moment of its course.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#include "QrSplashScreen.h"
#include "WindowTestSupport.h"
#include "resource.h"

namespace {

const std::vector<int> kPictures = {IDB_SPLASH1, IDB_SPLASH2, IDB_SPLASH3, IDB_SPLASH4};
constexpr DWORD kWaitMs = 10000;

TEST(SplashFrames, CycleEveryPictureButTheLastAndStayOnTheFirstWithFewerThanThree) {
  std::vector<unsigned int> seen;
  unsigned int index = 0;
  for (int tick = 0; tick < 7; ++tick) {
    seen.push_back(index);
    index = nextSplashFrame(index, 4);
  }
  EXPECT_EQ((std::vector<unsigned int>{0, 1, 2, 0, 1, 2, 0}), seen);
  for (size_t count : {2u, 1u, 0u}) {
    EXPECT_EQ(0u, nextSplashFrame(0, count)) << count;
    EXPECT_EQ(0u, nextSplashFrame(nextSplashFrame(0, count), count)) << count;
  }
}

TEST(SplashFade, SetsThirtyFallingOpacitiesFrom192DownTo7) {
  std::vector<int> alphas;
  for (int left = kSplashFadeSteps; left >= 1; --left) alphas.push_back(splashFadeAlpha(192, left));
  ASSERT_EQ(30u, alphas.size());
  EXPECT_EQ((std::vector<int>{192, 186, 180, 173, 167}),
            std::vector<int>(alphas.begin(), alphas.begin() + 5));
  EXPECT_EQ((std::vector<int>{20, 13, 7}), std::vector<int>(alphas.end() - 3, alphas.end()));
  for (size_t i = 1; i < alphas.size(); ++i) EXPECT_LT(alphas[i], alphas[i - 1]) << i;
}

// The program's pictures: complete 8-bit bitmap files of 300 x 300 with a 256-colour
// palette, uncompressed, on the white key, and no two alike.
TEST(SplashPictures, AreEightBitBitmapFilesOnTheWhiteKey) {
  const HINSTANCE self = GetModuleHandleW(nullptr);
  std::vector<std::vector<BYTE>> seen;
  for (int id : kPictures) {
    HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(id), L"SPLASH");
    ASSERT_NE(nullptr, info) << id;
    const DWORD size = SizeofResource(self, info);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(self, info)));
    ASSERT_TRUE(bytes && size > sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) << id;
    const auto& file = *reinterpret_cast<const BITMAPFILEHEADER*>(bytes);
    const auto& head = *reinterpret_cast<const BITMAPINFOHEADER*>(bytes + sizeof file);
    EXPECT_EQ(0x4D42, file.bfType) << id;
    EXPECT_EQ(size, file.bfSize) << id;
    EXPECT_EQ(300, head.biWidth) << id;
    EXPECT_EQ(300, head.biHeight) << id;
    EXPECT_EQ(8, head.biBitCount) << id;
    EXPECT_EQ(DWORD(BI_RGB), head.biCompression) << id;
    ASSERT_EQ(size, file.bfOffBits + 300u * 300u) << id;
    const auto* palette = reinterpret_cast<const RGBQUAD*>(bytes + sizeof file + head.biSize);
    const RGBQUAD corner = palette[bytes[file.bfOffBits]];
    EXPECT_EQ(0xFFFFFFu, RGB(corner.rgbRed, corner.rgbGreen, corner.rgbBlue)) << id;
    seen.emplace_back(bytes + file.bfOffBits, bytes + size);
    for (size_t i = 0; i + 1 < seen.size(); ++i) EXPECT_NE(seen[i], seen.back()) << id;
  }
}

// --- The live splash -------------------------------------------------------------

// The splash's owner: counts the WM_SPLASH_END it receives.
std::atomic<int> s_ends{0};

LRESULT CALLBACK ownerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SPLASH_END) ++s_ends;
  return DefWindowProcW(h, m, w, l);
}

HWND makeOwner() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ownerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CorvelaSplashOwner";
  RegisterClassExW(&wc);  // a second registration fails harmlessly
  return CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

bool splashClassRegistered() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  return GetClassInfoExW(GetModuleHandleW(nullptr), L"QrSplashWindow", &wc) != FALSE;
}

bool waitUp(QrSplashScreen& splash) {
  return testwait::waitUntil([&] { return splash.state() != 1 || splash.failed(); }, kWaitMs) &&
         splash.state() == 2;
}

class SplashLive : public ::testing::Test {
 protected:
  void SetUp() override {
    s_ends = 0;
    m_owner = makeOwner();
    ASSERT_NE(nullptr, m_owner);
  }
  void TearDown() override { DestroyWindow(m_owner); }

  HWND m_owner = nullptr;
};

TEST_F(SplashLive, ComesUpHiddenShowsFadesOutWithTheLastPictureAndEnds) {
  wts::LogCapture log(L"splash_course.log");
  QrSplashScreen splash(m_owner, kPictures, L"SPLASH", 192, 0xFFFFFF, 300);
  ASSERT_TRUE(waitUp(splash)) << log.text();
  const HWND w = splash.core().m_hWnd;
  EXPECT_EQ(4u, splash.core().m_pictures.size());
  COLORREF key = 0;
  BYTE alpha = 255;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(w, &key, &alpha, &flags));
  EXPECT_EQ(0u, alpha);  // hidden until shown
  EXPECT_EQ(1u, log.count(L"(  383) INFO     : Splash hide()")) << log.text();

  splash.requestShow();
  EXPECT_TRUE(IsWindowVisible(w));
  ASSERT_TRUE(GetLayeredWindowAttributes(w, &key, &alpha, &flags));
  EXPECT_EQ(192u, alpha);
  EXPECT_EQ(0xFFFFFFu, key);
  EXPECT_EQ(DWORD(LWA_COLORKEY | LWA_ALPHA), flags);
  // Frames go by on the window's own size, whatever the size of the pictures.
  ASSERT_TRUE(testwait::waitUntil([&] { return splash.core().m_index == 2; }, kWaitMs));
  RECT r = {};
  GetWindowRect(w, &r);
  EXPECT_EQ(400, r.right - r.left);
  EXPECT_EQ(200, r.bottom - r.top);

  // The end of the fade is taken only while fading out.
  for (int state : {1, 2, 4}) {
    splash.core().m_state = state;
    SendMessageW(w, WM_SPLASH_DESTROY, 0, 0);
    EXPECT_TRUE(IsWindow(w)) << state;
    EXPECT_EQ(state, splash.core().m_state) << state;
  }
  splash.core().m_state = 2;

  splash.fadeOut();
  EXPECT_EQ(3, splash.core().m_state);
  EXPECT_EQ(3u, splash.core().m_index);  // drawn at once, before fadeOut returned
  ASSERT_TRUE(testwait::waitUntil([&] { return s_ends == 1; }, kWaitMs)) << splash.core().m_state;
  EXPECT_EQ(4, splash.core().m_state);
  EXPECT_EQ(3u, splash.core().m_index);  // no frame tick drew over the fading picture
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(splashClassRegistered());
  // Nothing is left for the thread: it ends instead of idling.
  EXPECT_TRUE(testwait::waitUntil([&] { return !splash.threadRunning(); }, kWaitMs));
  EXPECT_FALSE(log.contains(L"ERROR")) << log.text();
}

TEST_F(SplashLive, FadeMessageFromElsewhereDuringTheFramesChangesNothing) {
  QrSplashScreen splash(m_owner, kPictures, L"SPLASH", 192, 0xFFFFFF, 20);
  ASSERT_TRUE(waitUp(splash));
  splash.requestShow();
  SendMessageW(splash.core().m_hWnd, WM_SPLASH_FADE, 0, 0);
  // The frames go on, and the fade-out started later runs to its end.
  ASSERT_TRUE(testwait::waitUntil([&] { return splash.core().m_index == 0; }, kWaitMs));
  ASSERT_TRUE(testwait::waitUntil([&] { return splash.core().m_index == 1; }, kWaitMs));
  splash.fadeOut();
  EXPECT_TRUE(testwait::waitUntil([&] { return s_ends == 1; }, kWaitMs)) << splash.state();
}

TEST_F(SplashLive, MissingPicturesAreLoggedAndLeftOut) {
  wts::LogCapture log(L"splash_missing.log");
  QrSplashScreen splash(m_owner, {IDB_SPLASH1, 126, IDB_SPLASH3}, L"SPLASH", 192, 0xFFFFFF, 20);
  ASSERT_TRUE(waitUp(splash)) << log.text();
  EXPECT_EQ(2u, splash.core().m_pictures.size());
  EXPECT_EQ(1u, log.count(L"(  188) ERROR    : LoadBitmap() : [0x")) << log.text();
  splash.requestShow();
  splash.fadeOut();
  EXPECT_EQ(1u, splash.core().m_index);
  ASSERT_TRUE(testwait::waitUntil([&] { return s_ends == 1; }, kWaitMs));
}

TEST_F(SplashLive, WindowThatCannotBeMadeIsReportedAtOnceAndNeverUp) {
  wts::LogCapture log(L"splash_failed.log");
  HWND gone = makeOwner();
  DestroyWindow(gone);  // no window can be owned by it
  QrSplashScreen splash(gone, kPictures, L"SPLASH", 192, 0xFFFFFF, 300);
  // Start-up stops waiting as soon as this holds, well before its 5 s bound.
  ASSERT_TRUE(testwait::waitUntil([&] { return splash.failed(); }, 3000));
  EXPECT_EQ(1, splash.core().m_state);
  EXPECT_TRUE(log.contains(L"(  173) ERROR    : CreateWindowEx()")) << log.text();
  EXPECT_TRUE(testwait::waitUntil([&] { return !splash.threadRunning(); }, kWaitMs));
  EXPECT_FALSE(splashClassRegistered());
}

// Holds the splash thread in its message loop, on a marked WM_NULL, until released.
constexpr WPARAM kHoldMark = 0x5A17;
HANDLE s_held = nullptr;
HANDLE s_release = nullptr;

LRESULT CALLBACK holdSplashThread(int code, WPARAM removed, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_NULL &&
      msg->wParam == kHoldMark) {
    SetEvent(s_held);
    WaitForSingleObject(s_release, kWaitMs);
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

TEST_F(SplashLive, GoneWhileItsThreadIsHeldLeavesTheThreadAllItUses) {
  wts::LogCapture log(L"splash_held.log");
  s_held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  s_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // The object's storage is written over once it is gone, as the heap may reuse it.
  alignas(QrSplashScreen) unsigned char storage[sizeof(QrSplashScreen)];
  auto* splash = new (storage) QrSplashScreen(m_owner, kPictures, L"SPLASH", 192, 0xFFFFFF, 20);
  ASSERT_TRUE(waitUp(*splash));
  HANDLE thread = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), splash->m_hThread.get(), GetCurrentProcess(),
                              &thread, SYNCHRONIZE, FALSE, 0));
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, holdSplashThread, nullptr, splash->m_threadId);
  ASSERT_NE(nullptr, hook);
  splash->requestShow();
  PostMessageW(splash->core().m_hWnd, WM_NULL, kHoldMark, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(s_held, kWaitMs));

  splash->m_stopWaitMs = 100;
  splash->~QrSplashScreen();
  std::memset(storage, 0xDD, sizeof storage);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0));

  // Let go, the thread ends its splash as usual: window and class gone, nothing failed.
  SetEvent(s_release);
  EXPECT_TRUE(testwait::waitUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; },
                                  kWaitMs));
  EXPECT_EQ(nullptr, FindWindowW(L"QrSplashWindow", nullptr));
  EXPECT_FALSE(splashClassRegistered());
  EXPECT_EQ(1u, log.count(L"ERROR")) << log.text();  // the one for the thread left running
  UnhookWindowsHookEx(hook);
  for (HANDLE h : {thread, s_held, s_release}) CloseHandle(h);
}

TEST_F(SplashLive, DeletedAtAnyMomentItsThreadHasEndedAndItsWindowIsGone) {
  for (int round = 0; round < 24; ++round) {
    auto* splash = new QrSplashScreen(m_owner, kPictures, L"SPLASH", 192, 0xFFFFFF, 10);
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), splash->m_hThread.get(), GetCurrentProcess(),
                                &thread, SYNCHRONIZE, FALSE, 0));
    const int moment = round % 4;  // at once, window up, shown, fading out
    if (moment >= 1) {
      ASSERT_TRUE(waitUp(*splash)) << round;
    }
    if (moment >= 2) splash->requestShow();
    if (moment >= 3) splash->fadeOut();
    delete splash;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0)) << round;
    CloseHandle(thread);
    EXPECT_EQ(nullptr, FindWindowW(L"QrSplashWindow", nullptr)) << round;
    EXPECT_FALSE(splashClassRegistered()) << round;
  }
  EXPECT_EQ(0, s_ends);  // ended before its fade was over: no end to report
}

}  // namespace
