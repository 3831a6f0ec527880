// Benchmark of one loop-watch tick on a shown target: the filter, the
// application-window test, the IME queries, the renderer's frame and the push of
// the layered window, as the watcher runs them every loopInterval milliseconds.
// Beside it: the renderer's frame alone, into a memory DC of the strip's size, and
// the floor, a bare push of a ready DC of the same size. Each is timed per call
// (wall clock, median) and in blocks for the process CPU time per call (the
// system's CPU clock is too coarse for one call). Then the working set, the GDI
// and the USER objects after 10 ticks are set against those after 1,000: a tick
// must not grow them.
//
// It prints its figures and fails only when it cannot measure (no indicator over
// the target's caption strip). The target is a captioned window on a thread of
// its own, so the IME queries and the caption-bar query cross threads as they do
// between processes.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "TestWait.h"
#include "C_HDC.h"
#include "C_HDCCompat.h"
#include "MyApp.h"
#include "MySerialize.h"
#include "Watch.h"
#include "unit/WatchProbe.h"
#include "tamsel.h"

namespace {

constexpr int kBlock = 25;      // calls per CPU-time block
constexpr int kBlocks = 40;     // 1,000 calls
constexpr int kWarmUp = 10;     // ticks before the first working-set reading
constexpr int kLongRun = 1000;  // ticks before the second one
constexpr COLORREF kKey = INDICATOR_KEY;

LRESULT CALLBACK plainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY && GetWindowLongPtrW(h, GWLP_USERDATA) == 1) PostQuitMessage(0);
  return DefWindowProcW(h, m, w, l);
}

ATOM registerPlainClass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = plainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = L"CorvelaBenchTick";
  return RegisterClassExW(&wc);
}

// A captioned application window on its own thread with its own message loop.
class Target {
 public:
  Target() {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, ready] {
      m_hWnd = CreateWindowExW(0, L"CorvelaBenchTick", L"Corvela bench target",
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 140, 500, 300, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
      if (m_hWnd) SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 1);
      SetEvent(ready);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
  }
  ~Target() {
    if (m_hWnd) PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    if (m_thread.joinable()) m_thread.join();
  }
  HWND hwnd() const { return m_hWnd; }

 private:
  std::atomic<HWND> m_hWnd{nullptr};
  std::thread m_thread;
};

LONGLONG qpc() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double qpcToMs(LONGLONG ticks) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return ticks * 1e3 / (double)f.QuadPart;
}

// CPU time of the whole process (both threads), in milliseconds.
double processCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& f) {
    return (((ULONGLONG)f.dwHighDateTime << 32) | f.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
  double wallMs;  // median wall time of one call
  double cpuMs;   // median over blocks of process CPU time per call
};

// Times kBlocks blocks of kBlock calls of fn.
template <class Fn>
Figures measure(Fn fn) {
  std::vector<double> wall, cpu;
  for (int b = 0; b < kBlocks; ++b) {
    double cpu0 = processCpuMs();
    for (int i = 0; i < kBlock; ++i) {
      LONGLONG t0 = qpc();
      fn();
      wall.push_back(qpcToMs(qpc() - t0));
    }
    cpu.push_back((processCpuMs() - cpu0) / kBlock);
  }
  return Figures{median(wall), median(cpu)};
}

struct Resources {
  SIZE_T workingSet;
  SIZE_T privateBytes;
  DWORD gdi;
  DWORD user;
};

Resources resources() {
  PROCESS_MEMORY_COUNTERS_EX pmc = {};
  pmc.cb = sizeof(pmc);
  GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&pmc, sizeof(pmc));
  return Resources{pmc.WorkingSetSize, pmc.PrivateUsage,
                   GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                   GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
}

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

int wmain() {
  g_hInst = GetModuleHandleW(nullptr);
  LoadStringW(g_hInst, 109, g_szWindowClass, MAX_LOADSTRING);
  LoadStringW(g_hInst, 103, g_szTitle, MAX_LOADSTRING);
  registerPlainClass();

  // The indicator: the main window's styles, a plain window procedure.
  HWND indicator = CreateWindowExW(
      WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST, L"CorvelaBenchTick",
      L"Corvela", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, g_hInst, nullptr);
  if (!indicator) {
    fprintf(stderr, "bench_tick: no indicator window\n");
    return 1;
  }
  g_hMainWnd = indicator;
  g_pSettings.reset(new CMySerialize());
  g_pMyApp.reset(new CMyApp());
  g_pMyApp->create(indicator);
  g_pWatch.reset(new Watch());
  Watch& watch = *g_pWatch;
  watch.start(indicator);

  Target target;
  if (!target.hwnd()) {
    fprintf(stderr, "bench_tick: no target window\n");
    return 1;
  }
  SetForegroundWindow(target.hwnd());
  testwait::waitUntil([&] { return GetForegroundWindow() == target.hwnd(); }, 2000);

  auto tick = [&] { watch.onTimer(TIMER_LOOP_WATCH); };
  for (int i = 0; i < kWarmUp; ++i) tick();

  RECT strip = {0, 0, 0, 0};
  GetWindowRect(target.hwnd(), &strip);
  strip.bottom = strip.top + GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYCAPTION);
  RECT placed = {0, 0, 0, 0};
  GetWindowRect(indicator, &placed);
  if (!sameRect(strip, placed) || WatchProbe::show(watch) != 1) {
    fprintf(stderr,
            "bench_tick: the indicator is not over the target's caption strip "
            "(placed {%ld,%ld,%ld,%ld}, show %d)\n",
            placed.left, placed.top, placed.right, placed.bottom, WatchProbe::show(watch));
    return 1;
  }
  const SIZE size = {strip.right - strip.left, strip.bottom - strip.top};
  const Resources early = resources();

  // One tick, as WM_TIMER 4 runs it (kill, tick, re-arm).
  Figures tickFig = measure(tick);
  for (int i = kBlock * kBlocks + kWarmUp; i < kLongRun; ++i) tick();
  const Resources late = resources();
  for (int i = 0; i < kLongRun; ++i) tick();
  const Resources later = resources();

  // The same ticks without the renderer's frame (the picture stays empty): what the
  // watcher's own part of a tick keeps.
  std::unique_ptr<CMyApp> renderer(g_pMyApp.release());
  const Resources bareStart = resources();
  for (int i = 0; i < kLongRun; ++i) tick();
  const Resources bareEnd = resources();
  g_pMyApp.reset(renderer.release());

  // The renderer's frame alone, into a memory DC of the strip's size.
  C_HDC windowDC(indicator);
  C_HDCCompat memory(windowDC.m_hDC, size);
  STRUCT_DRAW_INFO info = {0, Watch::labelOf(-1), watch.getTitleBarInfo(), NULL, DISP_FLOAT, 2};
  const Resources beforeFrames = resources();
  Figures frameFig = measure([&] { g_pMyApp->draw(memory.m_hDC, size, &info); });
  const Resources afterFrames = resources();

  // The floor: a bare push of the ready DC, the way without composition that the
  // tick takes here (with composition: UpdateLayeredWindow of the same DC).
  const BOOL composition = watch.isCompositionEnabled();
  POINT pos = {strip.left, strip.top}, src = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 153, AC_SRC_ALPHA};
  Figures floorFig = measure([&] {
    if (composition) {
      UpdateLayeredWindow(indicator, NULL, &pos, (SIZE*)&size, memory.m_hDC, &src, kKey, &blend,
                          ULW_COLORKEY | ULW_ALPHA);
    } else {
      SetLayeredWindowAttributes(indicator, kKey, 153, LWA_COLORKEY | LWA_ALPHA);
      BitBlt(windowDC.m_hDC, 0, 0, size.cx, size.cy, memory.m_hDC, 0, 0, SRCCOPY);
    }
  });

  printf("bench_tick: one loop-watch tick on a shown %ldx%ld caption strip (%s)\n", size.cx,
         size.cy, composition ? "composition on" : "composition off");
  printf("  tick : %8.3f ms wall (median of %d), %8.3f ms CPU per tick (median of %d blocks)\n",
         tickFig.wallMs, kBlock * kBlocks, tickFig.cpuMs, kBlocks);
  printf("  frame: %8.3f ms wall, %8.3f ms CPU (the renderer alone)\n", frameFig.wallMs,
         frameFig.cpuMs);
  printf("  floor: %8.3f ms wall, %8.3f ms CPU (a bare push of a ready DC)\n", floorFig.wallMs,
         floorFig.cpuMs);
  auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
  printf("  ratio tick/floor %.1f (wall), tick/frame %.2f (wall), frame/floor %.1f (wall)\n",
         ratio(tickFig.wallMs, floorFig.wallMs), ratio(tickFig.wallMs, frameFig.wallMs),
         ratio(frameFig.wallMs, floorFig.wallMs));
  if (floorFig.cpuMs > 0) {
    printf("  ratio tick/floor %.1f (CPU)\n", ratio(tickFig.cpuMs, floorFig.cpuMs));
  }
  auto kib = [](SIZE_T a, SIZE_T b) { return ((long long)b - (long long)a) / 1024; };
  printf("  working set after %d ticks %zu KiB, after %d ticks %zu KiB: %+lld KiB\n", kWarmUp,
         early.workingSet / 1024, kLongRun, late.workingSet / 1024,
         kib(early.workingSet, late.workingSet));
  printf("  working set from %d to %d ticks: %+lld KiB (%.2f KiB per tick)\n", kLongRun,
         2 * kLongRun, kib(late.workingSet, later.workingSet),
         kib(late.workingSet, later.workingSet) / (double)kLongRun);
  printf("  working set over %d ticks without the renderer's frame: %+lld KiB\n", kLongRun,
         kib(bareStart.workingSet, bareEnd.workingSet));
  printf("  the %d frames alone (one memory DC): working set %+lld KiB\n", kBlock * kBlocks,
         kib(beforeFrames.workingSet, afterFrames.workingSet));
  printf("  GDI objects %lu -> %lu, USER objects %lu -> %lu (0 where the system does not count)\n",
         early.gdi, later.gdi, early.user, later.user);

  for (UINT_PTR id = 1; id <= 4; ++id) KillTimer(indicator, id);
  g_pWatch.reset();
  g_pMyApp.reset();
  DestroyWindow(indicator);
  return 0;
}
