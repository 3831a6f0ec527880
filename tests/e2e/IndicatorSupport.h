// Reading the indicator of a running Corvela from outside, and preparing its
// settings file, for the end-to-end tests of placement, timers and the movable
// fixed mode.
#pragma once
#include <windows.h>

#include <string>

#include "E2eSupport.h"

namespace e2e {

constexpr COLORREF kIndicatorKey = RGB(254, 0, 0);
constexpr wchar_t kToolTipClass[] = L"MY_TOOLTIP";

// What the desktop can read of the indicator window.
struct IndicatorState {
  RECT rect;
  BOOL visible;
  LONG style;
  LONG exStyle;
  BOOL layeredOk;  // GetLayeredWindowAttributes answered (after SetLayeredWindowAttributes)
  COLORREF key;
  BYTE alpha;
  DWORD layeredFlags;

  LONG width() const { return rect.right - rect.left; }
  LONG height() const { return rect.bottom - rect.top; }
  bool hidden() const { return width() == 20 && height() == 20 && layeredOk && alpha == 0; }
  bool at(const RECT& r) const {
    return rect.left == r.left && rect.top == r.top && rect.right == r.right &&
           rect.bottom == r.bottom;
  }
};

inline IndicatorState readIndicator(HWND main) {
  IndicatorState s;
  ZeroMemory(&s, sizeof s);
  GetWindowRect(main, &s.rect);
  s.visible = IsWindowVisible(main);
  s.style = GetWindowLongW(main, GWL_STYLE);
  s.exStyle = GetWindowLongW(main, GWL_EXSTYLE);
  s.layeredOk = GetLayeredWindowAttributes(main, &s.key, &s.alpha, &s.layeredFlags);
  return s;
}

inline std::string describe(const IndicatorState& s) {
  char buf[256];
  _snprintf(buf, sizeof buf,
            "rect {%ld,%ld,%ld,%ld} visible %d ex 0x%08lx style 0x%08lx layered %d key 0x%06lx "
            "alpha %u flags %lu",
            s.rect.left, s.rect.top, s.rect.right, s.rect.bottom, s.visible, s.exStyle, s.style,
            s.layeredOk, (unsigned long)s.key, (unsigned)s.alpha, (unsigned long)s.layeredFlags);
  return buf;
}

inline std::string describe(const RECT& r) {
  char buf[96];
  _snprintf(buf, sizeof buf, "{%ld,%ld,%ld,%ld}", r.left, r.top, r.right, r.bottom);
  return buf;
}

// The caption strip that the indicator covers over a normal window: the window's
// width, as high as an edge and a caption.
inline RECT captionStrip(HWND target) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(target, &r);
  r.bottom = r.top + GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYCAPTION);
  return r;
}

// The strip over a maximized window: shifted by the edge, as high as a frame and a caption.
inline RECT maximizedStrip(HWND target) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(target, &r);
  r.left += GetSystemMetrics(SM_CXEDGE);
  r.top += GetSystemMetrics(SM_CYEDGE);
  r.bottom = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  return r;
}

// The hidden indicator: 20 x 20 at the top-left corner of the window it was drawn for.
inline RECT hiddenAt(LONG x, LONG y) { return RECT{x, y, x + 20, y + 20}; }

// Polls the indicator until pred holds (timeoutMs); the last state read comes back in last.
template <class Pred>
bool waitIndicator(HWND main, Pred pred, IndicatorState* last, DWORD timeoutMs = 10000) {
  IndicatorState s;
  bool ok = waitUntil(
      [&] {
        s = readIndicator(main);
        return pred(s);
      },
      timeoutMs);
  if (last) *last = s;
  return ok;
}

// Brings a window of the test to the foreground.
inline void bringToFront(TargetWindow& w) { w.activate(); }

// ---------------------------------------------------------------------------
// The settings file

// Replaces the text of the first element <name>...</name> at or after `from` in the
// XML; false when there is none.
inline bool setElement(std::string& xml, const std::string& name, const std::string& value,
                       size_t from = 0) {
  std::string open = "<" + name + ">";
  std::string close = "</" + name + ">";
  size_t a = xml.find(open, from);
  if (a == std::string::npos) return false;
  a += open.size();
  size_t b = xml.find(close, a);
  if (b == std::string::npos) return false;
  xml.replace(a, b - a, value);
  return true;
}

// The text of the first element <name>...</name> at or after `from`.
inline std::string elementText(const std::string& xml, const std::string& name, size_t from = 0) {
  std::string open = "<" + name + ">";
  std::string close = "</" + name + ">";
  size_t a = xml.find(open, from);
  if (a == std::string::npos) return {};
  a += open.size();
  size_t b = xml.find(close, a);
  if (b == std::string::npos) return {};
  return xml.substr(a, b - a);
}

// Sets dModePos (its four members inside the <dModePos ...> element).
inline bool setRectElement(std::string& xml, const std::string& name, const RECT& r) {
  size_t at = xml.find("<" + name);
  if (at == std::string::npos) return false;
  return setElement(xml, "left", std::to_string(r.left), at) &&
         setElement(xml, "top", std::to_string(r.top), at) &&
         setElement(xml, "right", std::to_string(r.right), at) &&
         setElement(xml, "bottom", std::to_string(r.bottom), at);
}

inline RECT rectElement(const std::string& xml, const std::string& name) {
  RECT r = {0, 0, 0, 0};
  size_t at = xml.find("<" + name);
  if (at == std::string::npos) return r;
  r.left = atol(elementText(xml, "left", at).c_str());
  r.top = atol(elementText(xml, "top", at).c_str());
  r.right = atol(elementText(xml, "right", at).c_str());
  r.bottom = atol(elementText(xml, "bottom", at).c_str());
  return r;
}

// Cross-process IME queries return nothing under Wine (no default IME window is found
// for another process's window), so the indicator always reads the IME as closed here
// and stands at the closed opacity, alphaOff.
constexpr BYTE kClosedOpacityDefault = 153;  // alphaOff 60 -> 60 * 255 / 100

}  // namespace e2e
