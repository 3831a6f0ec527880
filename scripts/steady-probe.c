/* The outside of scripts/measure-steady.sh: a captioned window in front for Corvela to
 * mark, then a flood of the hook module's messages from this process.
 *
 * usage: steady-probe.exe SECONDS COUNT
 *   Opens its window, waits until Corvela's indicator stands over the window's caption
 *   strip and prints "ready"; keeps the window answering for SECONDS (the idle span the
 *   script measures) and prints "idle-end"; posts COUNT WM_HOOK_MOVE messages and then
 *   the exit command (105) to Corvela's main window, prints "flooded", and keeps
 *   answering until that window is gone, printing "gone MS" with the milliseconds from
 *   the last post. Exit code 0, or 1 when the indicator never came or never went. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#define WM_HOOK_MOVE (WM_APP + 2)
#define IDM_EXIT 105

static void pump(void) {
  MSG msg;
  while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

/* Pumps for ms milliseconds, or until done() holds (checked every 20 ms). */
static int pumpUntil(DWORD ms, int (*done)(HWND), HWND arg) {
  const DWORD start = GetTickCount();
  for (;;) {
    pump();
    if (done != NULL && done(arg)) return 1;
    if (GetTickCount() - start >= ms) return 0;
    MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
  }
}

static int indicatorOverCaption(HWND target) {
  HWND indicator = FindWindowW(L"CORVELA", L"Corvela");
  RECT t, i;
  if (GetForegroundWindow() != target) SetForegroundWindow(target);
  if (indicator == NULL || !IsWindowVisible(indicator)) return 0;
  if (!GetWindowRect(target, &t) || !GetWindowRect(indicator, &i)) return 0;
  return i.left == t.left && i.top == t.top && i.right == t.right && i.bottom > i.top &&
         i.bottom < t.bottom;
}

static int indicatorGone(HWND unused) {
  (void)unused;
  return FindWindowW(L"CORVELA", L"Corvela") == NULL;
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const DWORD seconds = (DWORD)atoi(argv[1]);
  const int count = atoi(argv[2]);
  WNDCLASSW wc = {0};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(NULL);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = L"CorvelaSteadyProbe";
  RegisterClassW(&wc);
  HWND target = CreateWindowExW(0, wc.lpszClassName, L"Corvela steady target",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 160, 120, 640, 400, NULL, NULL,
                                wc.hInstance, NULL);
  if (target == NULL) return 1;
  SetForegroundWindow(target);
  if (!pumpUntil(60000, indicatorOverCaption, target)) {
    printf("no indicator over the caption strip\n");
    return 1;
  }
  printf("ready\n");
  fflush(stdout);
  pumpUntil(seconds * 1000, NULL, NULL);
  printf("idle-end\n");
  fflush(stdout);

  HWND indicator = FindWindowW(L"CORVELA", L"Corvela");
  for (int i = 0; i < count; ++i) PostMessageW(indicator, WM_HOOK_MOVE, 0, 0);
  PostMessageW(indicator, WM_COMMAND, IDM_EXIT, 0);
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  printf("flooded\n");
  fflush(stdout);
  if (!pumpUntil(300000, indicatorGone, NULL)) {
    printf("indicator still there\n");
    return 1;
  }
  QueryPerformanceCounter(&t1);
  printf("gone %.0f\n", (double)(t1.QuadPart - t0.QuadPart) * 1000.0 / (double)f.QuadPart);
  fflush(stdout);
  DestroyWindow(target);
  return 0;
}
