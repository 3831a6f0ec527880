// Benchmark of one indicator frame: the renderer paints each kind of frame many
// times into a real memory DC (C_HDCCompat) and the median time per frame is set
// against a bare BitBlt of a DC of the same size, the cheapest possible push.
// It prints its figures and fails only when it cannot measure.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "C_HDC.h"
#include "C_HDCCompat.h"
#include "MyApp.h"
#include "MySerialize.h"
#include "tamsel.h"

namespace {
constexpr int kFrames = 300;
constexpr int kWarmUp = 10;
constexpr int kBlitBatch = 20;

LRESULT CALLBACK benchProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcW(h, m, w, l);
}

HWND makeWindow() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = benchProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CorvelaBenchFrame";
  RegisterClassExW(&wc);
  return CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"bench", WS_POPUP, 0, 0, 10, 10,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

double ticksToMicroseconds(LONGLONG ticks) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return ticks * 1e6 / (double)f.QuadPart;
}

LONGLONG now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Mode {
  const char* name;
  SIZE size;
  STRUCT_DRAW_INFO info;
};

// Median microseconds of one frame; a negative result when a frame failed.
double timeFrames(CMyApp& app, HDC windowDC, const Mode& mode) {
  C_HDCCompat memory(windowDC, mode.size);
  std::vector<double> times;
  for (int i = 0; i < kWarmUp + kFrames; ++i) {
    const LONGLONG start = now();
    try {
      app.draw(memory.m_hDC, mode.size, &mode.info);
    } catch (CMyException* e) {
      fwprintf(stderr, L"frame failed: %ls (%d) 0x%08x\n", e->m_callName, e->m_line,
               (unsigned)e->m_code);
      delete e;
      return -1;
    }
    if (i >= kWarmUp) times.push_back(ticksToMicroseconds(now() - start));
  }
  return median(times);
}

// Median microseconds of one BitBlt between two memory DCs of the size.
double timeBlit(HDC windowDC, SIZE size) {
  C_HDCCompat from(windowDC, size), to(windowDC, size);
  std::vector<double> times;
  for (int i = 0; i < kWarmUp + kFrames; ++i) {
    const LONGLONG start = now();
    for (int j = 0; j < kBlitBatch; ++j)
      BitBlt(to.m_hDC, 0, 0, size.cx, size.cy, from.m_hDC, 0, 0, SRCCOPY);
    GdiFlush();
    if (i >= kWarmUp) times.push_back(ticksToMicroseconds(now() - start) / kBlitBatch);
  }
  return median(times);
}
}  // namespace

int wmain() {
  g_hInst = GetModuleHandleW(nullptr);
  g_pSettings.reset(new CMySerialize());
  HWND hWnd = makeWindow();
  if (hWnd == nullptr) {
    fprintf(stderr, "no window\n");
    return 1;
  }
  std::unique_ptr<CMyApp> app(new CMyApp());
  app->create(hWnd);
  MSG msg;
  if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
    fprintf(stderr, "renderer set-up failed\n");
    return 1;
  }

  const Mode modes[] = {
      {"float, normal target (sliced)", {300, 25}, {1, L"あ", 120, nullptr, DISP_FLOAT, 2}},
      {"float, maximized target (stretched)", {1280, 24}, {1, L"あ", 120, nullptr, DISP_FLOAT, 0}},
      {"fixed (stretched, icon to the right)", {250, 50}, {0, L"_A", 0, nullptr, DISP_FIXED, 2}},
  };
  int failures = 0;
  {
    C_HDC windowDC(hWnd);
    printf("%-40s %12s %12s %8s\n", "frame", "frame us", "BitBlt us", "ratio");
    for (const Mode& mode : modes) {
      const double frame = timeFrames(*app, windowDC.m_hDC, mode);
      const double blit = timeBlit(windowDC.m_hDC, mode.size);
      if (frame <= 0 || blit <= 0) {
        fprintf(stderr, "%s: could not measure\n", mode.name);
        ++failures;
        continue;
      }
      printf("%-40s %12.1f %12.2f %8.0f   (%ldx%ld, median of %d)\n", mode.name, frame, blit,
             frame / blit, mode.size.cx, mode.size.cy, kFrames);
    }
  }
  app.reset();
  DestroyWindow(hWnd);
  g_pSettings.reset();
  return failures == 0 ? 0 : 1;
}
