// One owner for every handle that is not held by a wrapper of its own: a move-only
// holder that frees its handle exactly once, plus the aliases this program uses,
// a scoped SelectObject restorer and a scope guard.
#pragma once
#include <windows.h>

#include <utility>

template <typename T, typename Deleter, T Invalid = T()>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(T value, Deleter deleter = Deleter()) : m_value(value), m_deleter(deleter) {}
  ~UniqueAny() { free(); }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept
      : m_value(other.release()), m_deleter(std::move(other.m_deleter)) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) {
      Deleter deleter = std::move(other.m_deleter);
      reset(other.release());
      m_deleter = std::move(deleter);
    }
    return *this;
  }

  T get() const { return m_value; }
  explicit operator bool() const { return m_value != Invalid; }
  // Frees the held handle (if any) and holds value instead.
  void reset(T value = Invalid) {
    if (value == m_value) return;
    T old = m_value;
    m_value = value;
    if (old != Invalid) m_deleter(old);
  }
  // Hands the handle over to the caller, who frees it from now on.
  T release() {
    T value = m_value;
    m_value = Invalid;
    return value;
  }
  const Deleter& deleter() const { return m_deleter; }

 private:
  void free() {
    if (m_value != Invalid) m_deleter(m_value);
    m_value = Invalid;
  }

  T m_value = Invalid;
  Deleter m_deleter;
};

struct GdiObjectDeleter {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct MemoryDcDeleter {
  void operator()(HDC h) const { DeleteDC(h); }
};
// A DC from GetDC belongs to its window: the deleter keeps that window.
struct WindowDcDeleter {
  HWND window = NULL;
  void operator()(HDC h) const { ReleaseDC(window, h); }
};
struct MenuDeleter {
  void operator()(HMENU h) const { DestroyMenu(h); }
};
struct GlobalDeleter {
  void operator()(HGLOBAL h) const { GlobalFree(h); }
};
struct HandleDeleter {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
struct IconDeleter {
  void operator()(HICON h) const { DestroyIcon(h); }
};
struct WindowDeleter {
  void operator()(HWND h) const { DestroyWindow(h); }
};

using UniqueHFONT = UniqueAny<HFONT, GdiObjectDeleter>;
using UniqueHBRUSH = UniqueAny<HBRUSH, GdiObjectDeleter>;
using UniqueHBITMAP = UniqueAny<HBITMAP, GdiObjectDeleter>;
using UniqueMemoryDC = UniqueAny<HDC, MemoryDcDeleter>;
using UniqueWindowDC = UniqueAny<HDC, WindowDcDeleter>;
using UniqueHMENU = UniqueAny<HMENU, MenuDeleter>;
using UniqueHGLOBAL = UniqueAny<HGLOBAL, GlobalDeleter>;
using UniqueHandle = UniqueAny<HANDLE, HandleDeleter>;
using UniqueHICON = UniqueAny<HICON, IconDeleter>;
using UniqueHWND = UniqueAny<HWND, WindowDeleter>;

// GetDC(window) held until the scope ends.
inline UniqueWindowDC getWindowDC(HWND window) {
  return UniqueWindowDC(GetDC(window), WindowDcDeleter{window});
}

// Selects an object into a DC and puts the previous one back at scope end.
class SelectObjectRestorer {
 public:
  SelectObjectRestorer(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
  ~SelectObjectRestorer() {
    if (m_old != NULL && m_old != HGDI_ERROR) SelectObject(m_dc, m_old);
  }
  SelectObjectRestorer(const SelectObjectRestorer&) = delete;
  SelectObjectRestorer& operator=(const SelectObjectRestorer&) = delete;
  bool selected() const { return m_old != NULL && m_old != HGDI_ERROR; }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// Runs a function when the scope ends, unless dismissed.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : m_f(std::move(f)) {}
  ~ScopeExit() {
    if (m_active) m_f();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  void dismiss() { m_active = false; }

 private:
  F m_f;
  bool m_active = true;
};

template <typename F>
ScopeExit<F> scope_exit(F f) {
  return ScopeExit<F>(std::move(f));
}
