/* Moves the first top-level window of a class one pixel to the right and back, as
 * a small drag by the user would. scripts/run.sh uses it on its virtual display.
 *
 * usage: nudge-window.exe CLASS   (exit code 0 moved, 1 no such window) */
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND hwnd = FindWindowA(argv[1], NULL);
  RECT r;
  if (hwnd == NULL || !GetWindowRect(hwnd, &r)) return 1;
  const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(hwnd, NULL, r.left + 1, r.top, 0, 0, flags);
  Sleep(600);
  SetWindowPos(hwnd, NULL, r.left, r.top, 0, 0, flags);
  return 0;
}
