/* One step of scripts/run.sh on its virtual display, done from outside as a user
 * would, waiting until it shows: the settings dialog walk of --dialog, and the end.
 *
 * usage: dialog-step.exe open        the tray menu's settings command; waits for "設定"
 *        dialog-step.exe tab N       selects tab N with the arrow keys
 *        dialog-step.exe colour      clicks "色選択" of the colour page; waits for the
 *                                    colour dialog
 *        dialog-step.exe cancel      Cancel on the topmost dialog of Corvela (the colour
 *                                    dialog when it is open, else the settings dialog)
 *        dialog-step.exe exit        the tray menu's exit command; waits until the main
 *                                    window is gone
 * exit code 0 done, 1 not done in time */
#include <windows.h>

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

static DWORD g_pid;

static HWND mainWindow(void) { return FindWindowW(L"CORVELA", L"Corvela"); }

static HWND settingsDialog(void) {
  HWND dlg = FindWindowW(L"#32770", L"設定");
  return dlg && IsWindowVisible(dlg) ? dlg : NULL;
}

struct Owned {
  HWND owner;
  HWND found;
};

static BOOL CALLBACK findOwned(HWND hwnd, LPARAM lParam) {
  struct Owned* q = (struct Owned*)lParam;
  if (GetWindow(hwnd, GW_OWNER) == q->owner && IsWindowVisible(hwnd)) {
    q->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

static HWND ownedDialog(HWND owner) {
  struct Owned q = {owner, NULL};
  if (owner) EnumWindows(findOwned, (LPARAM)&q);
  return q.found;
}

static int waitFor(int (*done)(void* arg), void* arg) {
  for (int i = 0; i < 200; ++i) {
    if (done(arg)) return 1;
    Sleep(50);
  }
  return 0;
}

static int dialogOpen(void* arg) { return settingsDialog() != NULL; }
static int tabIs(void* arg) {
  HWND tab = GetDlgItem(settingsDialog(), 1020);
  return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == (LRESULT)(INT_PTR)arg;
}
static int colourOpen(void* arg) { return ownedDialog(settingsDialog()) != NULL; }
static int mainGone(void* arg) { return mainWindow() == NULL; }

static HWND shownPage(HWND dlg) {
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[16];
    GetClassNameW(c, cls, 16);
    if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(c)) return c;
  }
  return NULL;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (strcmp(argv[1], "open") == 0) {
    HWND main = mainWindow();
    if (!main) return 1;
    PostMessageW(main, WM_COMMAND, 106, 0);
    return waitFor(dialogOpen, NULL) ? 0 : 1;
  }
  if (strcmp(argv[1], "exit") == 0) {
    HWND main = mainWindow();
    if (!main) return 1;
    PostMessageW(main, WM_COMMAND, 105, 0);
    return waitFor(mainGone, NULL) ? 0 : 1;
  }
  HWND dlg = settingsDialog();
  if (!dlg) return 1;
  if (strcmp(argv[1], "tab") == 0 && argc > 2) {
    INT_PTR want = atoi(argv[2]);
    HWND tab = GetDlgItem(dlg, 1020);
    for (int tries = 0; tries < 10 && !tabIs((void*)want); ++tries) {
      LRESULT cur = SendMessageW(tab, TCM_GETCURSEL, 0, 0);
      PostMessageW(tab, WM_KEYDOWN, cur < want ? VK_RIGHT : VK_LEFT, 1);
      Sleep(200);
    }
    return tabIs((void*)want) ? 0 : 1;
  }
  if (strcmp(argv[1], "colour") == 0) {
    HWND button = GetDlgItem(shownPage(dlg), 1003);
    if (!button) return 1;
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    return waitFor(colourOpen, NULL) ? 0 : 1;
  }
  if (strcmp(argv[1], "cancel") == 0) {
    HWND top = ownedDialog(dlg);
    if (!top) top = dlg;
    PostMessageW(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(top, IDCANCEL));
    return 0;
  }
  return 2;
}
