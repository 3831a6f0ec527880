// Support for the end-to-end tests: start the real Corvela.exe in a fresh working
// directory and watch it from outside, as the desktop would.
//
// Typical use:
//
//   class MyE2e : public e2e::CorvelaTest {};
//   TEST_F(MyE2e, Something) {
//     e2e::CorvelaProcess& app = start(L"/DBG:111:INFO");  // cwd = dir()
//     HWND main = app.mainWindow();                        // asserts it came up
//     ...
//     EXPECT_EQ(0u, app.end());                            // WM_COMMAND 105, exit code
//   }
//
// Every process started through the fixture is killed in TearDown if it still runs,
// and every Corvela main window left from an earlier crashed run is ended in SetUp.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestWait.h"

namespace e2e {

using testwait::kDefaultTimeoutMs;
constexpr UINT kCmdAbout = 104;
constexpr UINT kCmdExit = 105;
constexpr UINT kCmdSettings = 106;
constexpr wchar_t kMainClass[] = L"CORVELA";
constexpr wchar_t kMainTitle[] = L"Corvela";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMenuClass[] = L"#32768";
constexpr wchar_t kSplashClass[] = L"QrSplashWindow";
constexpr BYTE kSplashAlpha = 192;           // the opacity the splash is shown with
constexpr UINT kMsgBoxTextId = 0xFFFF;       // the static text control of a MessageBox
constexpr UINT kActiveChange = WM_USER + 3;  // redraw request, logged at INFO when handled
constexpr wchar_t kActiveChangeLine[] = L"receive <WM_MY_ACTIVECHANGE>";

// ---------------------------------------------------------------------------
// Waiting

// Windows the test owns keep answering while it waits (Corvela sends to them with
// time-outs): the shared waits pump the thread's messages.
using testwait::pumpMessages;
using testwait::waitUntil;

// ---------------------------------------------------------------------------
// Text

inline std::string toCodePage(const std::wstring& text, UINT codePage = 932) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr,
                              nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(codePage, 0, text.c_str(), (int)text.size(), &out[0], n, nullptr, nullptr);
  return out;
}

inline std::wstring fromCodePage(const std::string& text, UINT codePage = 932) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.c_str(), (int)text.size(), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), (int)text.size(), &out[0], n);
  return out;
}

inline std::string narrow(const std::wstring& text) { return toCodePage(text, CP_UTF8); }

inline std::wstring windowText(HWND hWnd) {
  wchar_t buf[1024] = {};
  // WM_GETTEXT with a time-out, so a hung window cannot block the test.
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(hWnd, WM_GETTEXT, 1024, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, &n))
    return {};
  return std::wstring(buf, std::min<size_t>(n, 1023));
}

inline std::wstring className(HWND hWnd) {
  wchar_t buf[256] = {};
  GetClassNameW(hWnd, buf, 256);
  return buf;
}

inline DWORD processOf(HWND hWnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  return pid;
}

// ---------------------------------------------------------------------------
// Files and directories

inline std::wstring exeDir() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path);
  size_t slash = p.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : p.substr(0, slash);
}

inline std::wstring corvelaExe() { return exeDir() + L"\\Corvela.exe"; }

inline std::wstring joinPath(const std::wstring& dir, const std::wstring& name) {
  if (dir.empty() || dir.back() == L'\\' || dir.back() == L'/') return dir + name;
  return dir + L"\\" + name;
}

inline bool fileExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The whole file as bytes; empty when it cannot be read (ok, if given, says which).
inline std::string readFile(const std::wstring& path, bool* ok = nullptr) {
  if (ok) *ok = false;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  if (ok) *ok = true;
  return out;
}

inline bool writeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr);
  CloseHandle(h);
  return ok && put == bytes.size();
}

// The last-write time of a file (0 when missing): tells a rewrite apart from none.
inline ULONGLONG fileWriteTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return ((ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

inline void removeTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(joinPath(dir, L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = joinPath(dir, name);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

// A new empty directory under the temporary path, removed with its content at the end.
class TempDir {
 public:
  TempDir() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static std::atomic<unsigned> counter{0};
    for (unsigned tries = 0; tries < 1000; ++tries) {
      wchar_t name[64];
      _snwprintf(name, 64, L"corvela-e2e-%lu-%lu-%u", GetCurrentProcessId(), GetTickCount(),
                 counter++);
      std::wstring path = joinPath(base, name);
      if (CreateDirectoryW(path.c_str(), nullptr)) {
        m_path = path;
        return;
      }
    }
  }
  ~TempDir() {
    if (!m_path.empty()) removeTree(m_path);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return m_path; }
  std::wstring file(const std::wstring& name) const { return joinPath(m_path, name); }

 private:
  std::wstring m_path;
};

// ---------------------------------------------------------------------------
// Windows of another process

struct FindQuery {
  DWORD pid;  // 0: any process
  const wchar_t* cls;
  const wchar_t* title;  // nullptr: any title
  bool visibleOnly;
  HWND found;
};

inline BOOL CALLBACK findTopLevelProc(HWND hWnd, LPARAM lParam) {
  FindQuery* q = reinterpret_cast<FindQuery*>(lParam);
  if (q->pid && processOf(hWnd) != q->pid) return TRUE;
  if (q->visibleOnly && !IsWindowVisible(hWnd)) return TRUE;
  if (q->cls && className(hWnd) != q->cls) return TRUE;
  if (q->title && windowText(hWnd) != q->title) return TRUE;
  q->found = hWnd;
  return FALSE;
}

// A top-level window of the process (pid 0: of any process) by class and title.
inline HWND findTopLevel(DWORD pid, const wchar_t* cls, const wchar_t* title,
                         bool visibleOnly = false) {
  FindQuery q{pid, cls, title, visibleOnly, nullptr};
  EnumWindows(findTopLevelProc, (LPARAM)&q);
  return q.found;
}

inline HWND waitForTopLevel(DWORD pid, const wchar_t* cls, const wchar_t* title,
                            DWORD timeoutMs = kDefaultTimeoutMs, bool visibleOnly = false) {
  HWND found = nullptr;
  waitUntil(
      [&] {
        found = findTopLevel(pid, cls, title, visibleOnly);
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

struct FindAllQuery {
  const wchar_t* cls;
  const wchar_t* title;
  std::vector<HWND> out;
};

inline BOOL CALLBACK findAllTopLevelProc(HWND hWnd, LPARAM lParam) {
  FindAllQuery* q = reinterpret_cast<FindAllQuery*>(lParam);
  if (className(hWnd) == q->cls && (!q->title || windowText(hWnd) == q->title))
    q->out.push_back(hWnd);
  return TRUE;
}

// Every top-level window of any process with that class (and title, unless null).
inline std::vector<HWND> allTopLevel(const wchar_t* cls, const wchar_t* title) {
  FindAllQuery q{cls, title, {}};
  EnumWindows(findAllTopLevelProc, (LPARAM)&q);
  return q.out;
}

// The text of a dialog's control; for a MessageBox, its message (control 0xFFFF). When the
// id is not found, the longest text of the dialog's static controls.
inline std::wstring dialogItemText(HWND dlg, UINT id = kMsgBoxTextId) {
  HWND item = GetDlgItem(dlg, (int)id);
  if (item) return windowText(item);
  std::wstring best;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    std::wstring cls = className(c);
    if (_wcsicmp(cls.c_str(), L"Static") != 0) continue;
    std::wstring t = windowText(c);
    if (t.size() > best.size()) best = t;
  }
  return best;
}

// Presses a button of a dialog or MessageBox (IDOK, IDCANCEL, ...), as a click would.
inline bool pressButton(HWND dlg, int id = IDOK) {
  HWND button = GetDlgItem(dlg, id);
  return PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) != 0;
}

// The items of a menu (of any process): text, or empty for a separator, and command id.
struct MenuItem {
  std::wstring text;
  UINT id;
};

inline std::vector<MenuItem> menuItems(HMENU menu) {
  std::vector<MenuItem> items;
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    wchar_t buf[256] = {};
    GetMenuStringW(menu, (UINT)i, buf, 256, MF_BYPOSITION);
    items.push_back({buf, GetMenuItemID(menu, i)});
  }
  return items;
}

// An open popup menu (class "#32768") of the process, or null.
inline HWND findPopupMenu(DWORD pid) { return findTopLevel(pid, kMenuClass, nullptr, true); }

// ---------------------------------------------------------------------------
// The program under test

class CorvelaProcess {
 public:
  CorvelaProcess() { ZeroMemory(&m_pi, sizeof m_pi); }
  ~CorvelaProcess() { kill(); }
  CorvelaProcess(const CorvelaProcess&) = delete;
  CorvelaProcess& operator=(const CorvelaProcess&) = delete;

  // Starts exe with the arguments in the working directory; false when CreateProcess fails.
  bool start(const std::wstring& args, const std::wstring& workDir,
             const std::wstring& exe = corvelaExe()) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(L'\0');
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    m_workDir = workDir;
    return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.c_str(), &si, &m_pi) != 0;
  }

  DWORD pid() const { return m_pi.dwProcessId; }
  HANDLE handle() const { return m_pi.hProcess; }
  const std::wstring& workDir() const { return m_workDir; }
  std::wstring file(const std::wstring& name) const { return joinPath(m_workDir, name); }

  bool running() const {
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
  }

  // Waits for the process to end; true with its exit code when it did.
  bool waitExit(DWORD* code, DWORD timeoutMs = kDefaultTimeoutMs) {
    if (!m_pi.hProcess) return false;
    bool ended = waitUntil([&] { return !running(); }, timeoutMs);
    if (ended && code) GetExitCodeProcess(m_pi.hProcess, code);
    return ended;
  }

  // The main window "CORVELA"/"Corvela" of this process, waited for (null on time-out).
  HWND waitMainWindow(DWORD timeoutMs = kDefaultTimeoutMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
          found = findTopLevel(pid(), kMainClass, kMainTitle);
          return found != nullptr || !running();
        },
        timeoutMs);
    if (found) m_main = found;
    return found;
  }
  HWND mainWindow() const { return m_main; }

  // The main window, once the program has finished its start-up and waits in its
  // message loop; null when it did not get there in time. WaitForInputIdle alone is
  // not enough: the splash thread goes idle while the main window is still being set
  // up. The splash's fade-out is started from the main window's message loop.
  HWND waitReady(DWORD timeoutMs = kDefaultTimeoutMs) {
    if (!waitMainWindow(timeoutMs)) return nullptr;
    if (WaitForInputIdle(m_pi.hProcess, timeoutMs) != 0) return nullptr;
    if (!waitUntil([&] { return splashPastStartUp() || !running(); }, timeoutMs)) return nullptr;
    return m_main;
  }

  // No splash window (gone, or none came up), or one that is fading out.
  bool splashPastStartUp() const {
    HWND splash = findTopLevel(pid(), kSplashClass, nullptr);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!splash) return true;
    if (!GetLayeredWindowAttributes(splash, &key, &alpha, &flags)) return false;
    return alpha > 0 && alpha < kSplashAlpha;
  }

  // Posts a message to the main window (waited for if not known yet).
  bool post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    if (!m_main) waitMainWindow();
    return m_main && PostMessageW(m_main, message, wParam, lParam) != 0;
  }

  // The log of this run, from its working directory.
  std::wstring log() const;

  // Posts a redraw request and waits for its log line: every message posted before it
  // has then been handled. Needs the INFO log (/DBG:111:INFO).
  bool drain(DWORD timeoutMs = kDefaultTimeoutMs);

  // A dialog or MessageBox of this process by caption (visible), waited for.
  HWND waitDialog(const std::wstring& caption, DWORD timeoutMs = kDefaultTimeoutMs) {
    return waitForTopLevel(pid(), kDialogClass, caption.c_str(), timeoutMs, true);
  }

  // Ends the program as its menu command "終了" does; the exit code, or ~0u-1 on time-out.
  DWORD end(DWORD timeoutMs = kDefaultTimeoutMs) {
    if (!m_main) waitMainWindow(timeoutMs);
    if (m_main) PostMessageW(m_main, WM_COMMAND, kCmdExit, 0);
    DWORD code = kNoExitCode;
    if (!waitExit(&code, timeoutMs)) return kNoExitCode;
    return code;
  }

  // Terminates the process if it still runs and closes the handles.
  void kill() {
    if (m_pi.hProcess) {
      if (running()) {
        TerminateProcess(m_pi.hProcess, 1);
        WaitForSingleObject(m_pi.hProcess, 5000);
      }
      CloseHandle(m_pi.hProcess);
      CloseHandle(m_pi.hThread);
    }
    ZeroMemory(&m_pi, sizeof m_pi);
    m_main = nullptr;
  }

  static constexpr DWORD kNoExitCode = 0xFFFFFFFEu;

 private:
  PROCESS_INFORMATION m_pi;
  std::wstring m_workDir;
  HWND m_main = nullptr;
};

// Ends every running Corvela main window's process (left over from a crashed run).
inline void killStrayCorvela() {
  for (HWND h : allTopLevel(kMainClass, kMainTitle)) {
    DWORD pid = processOf(h);
    if (!pid || pid == GetCurrentProcessId()) continue;
    HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!p) continue;
    TerminateProcess(p, 1);
    WaitForSingleObject(p, 5000);
    CloseHandle(p);
  }
}

// The log of a run, converted from the program's multibyte code page.
inline std::wstring readLog(const std::wstring& dir) {
  return fromCodePage(readFile(joinPath(dir, L"Corvela.log")));
}

inline std::wstring CorvelaProcess::log() const { return readLog(m_workDir); }

inline bool contains(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

inline size_t countOf(const std::wstring& text, const std::wstring& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

inline bool CorvelaProcess::drain(DWORD timeoutMs) {
  const size_t before = countOf(log(), kActiveChangeLine);
  if (!post(kActiveChange)) return false;
  return waitUntil([&] { return countOf(log(), kActiveChangeLine) > before; }, timeoutMs);
}

// Waits until the log in dir contains part.
inline bool waitForLog(const std::wstring& dir, const std::wstring& part,
                       DWORD timeoutMs = kDefaultTimeoutMs) {
  return waitUntil([&] { return contains(readLog(dir), part); }, timeoutMs);
}

// ---------------------------------------------------------------------------
// A captioned window of the test's own, run on a thread of its own so that it answers
// Corvela's messages while the test thread waits.

class TargetWindow {
 public:
  // Creates and shows an overlapped window with the caption at the rectangle, and
  // brings it to the foreground.
  explicit TargetWindow(const std::wstring& caption, RECT rect = {100, 100, 600, 400},
                        DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0)
      : m_caption(caption), m_rect(rect), m_style(style), m_exStyle(exStyle) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, ready] { run(ready); });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
  }
  ~TargetWindow() {
    if (m_threadId) PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    if (m_hWnd) PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    if (m_thread.joinable()) m_thread.join();
  }
  TargetWindow(const TargetWindow&) = delete;
  TargetWindow& operator=(const TargetWindow&) = delete;

  HWND hwnd() const { return m_hWnd; }
  DWORD threadId() const { return m_threadId; }

  // Runs fn on the window's thread and waits for it (for calls that must come from the
  // owning thread, e.g. ImmSetOpenStatus on the window's input context).
  void invoke(std::function<void()> fn) {
    auto* job = new std::function<void()>(std::move(fn));
    SendMessageW(m_hWnd, kInvokeMsg, 0, (LPARAM)job);
  }

  void activate() {
    invoke([this] {
      SetForegroundWindow(m_hWnd);
      SetActiveWindow(m_hWnd);
      SetFocus(m_hWnd);
    });
  }

  static constexpr UINT kInvokeMsg = WM_APP + 0x3A0;

 private:
  static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kInvokeMsg) {
      std::unique_ptr<std::function<void()>> job(reinterpret_cast<std::function<void()>*>(l));
      (*job)();
      return 0;
    }
    if (m == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }

  void run(HANDLE ready) {
    m_threadId = GetCurrentThreadId();
    static const wchar_t* kClass = L"CorvelaE2eTarget";
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    m_hWnd = CreateWindowExW(m_exStyle, kClass, m_caption.c_str(), m_style, m_rect.left, m_rect.top,
                             m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, nullptr,
                             nullptr, wc.hInstance, nullptr);
    if (m_hWnd) {
      ShowWindow(m_hWnd, SW_SHOWNORMAL);
      UpdateWindow(m_hWnd);
      SetForegroundWindow(m_hWnd);
    }
    SetEvent(ready);
    if (!m_hWnd) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
  }

  std::wstring m_caption;
  RECT m_rect;
  DWORD m_style;
  DWORD m_exStyle;
  std::atomic<HWND> m_hWnd{nullptr};
  std::atomic<DWORD> m_threadId{0};
  std::thread m_thread;
};

// ---------------------------------------------------------------------------
// The fixture: a fresh working directory per test and no running Corvela left behind.

class CorvelaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    killStrayCorvela();
    ASSERT_FALSE(m_dir.path().empty()) << "no temporary directory";
    ASSERT_TRUE(fileExists(corvelaExe())) << narrow(corvelaExe()) << " is missing";
  }
  void TearDown() override {
    for (auto& p : m_processes) p->kill();
    m_processes.clear();
    killStrayCorvela();
  }

  const std::wstring& dir() const { return m_dir.path(); }
  std::wstring file(const std::wstring& name) const { return m_dir.file(name); }

  // Starts Corvela.exe with the arguments in workDir (default: this test's directory).
  // The process is killed at TearDown if it still runs.
  CorvelaProcess& start(const std::wstring& args = L"", const std::wstring& workDir = L"") {
    m_processes.push_back(std::make_unique<CorvelaProcess>());
    CorvelaProcess& p = *m_processes.back();
    EXPECT_TRUE(p.start(args, workDir.empty() ? dir() : workDir))
        << "CreateProcess failed: " << GetLastError();
    return p;
  }

  // Starts Corvela.exe and waits until its start-up is over and it waits for messages;
  // fails the test if no main window comes up.
  CorvelaProcess& startAndWait(const std::wstring& args = L"/DBG:111:INFO",
                               const std::wstring& workDir = L"") {
    CorvelaProcess& p = start(args, workDir);
    HWND main = p.waitReady();
    EXPECT_NE(nullptr, main) << "no main window came up";
    return p;
  }

 private:
  TempDir m_dir;
  std::vector<std::unique_ptr<CorvelaProcess>> m_processes;
};

}  // namespace e2e
