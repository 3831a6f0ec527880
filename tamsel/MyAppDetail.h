// What the renderer's source files share among themselves.
#pragma once
#include <windows.h>

#include <comdef.h>

#include <string>

#include "CMyException.h"
#include "Dbg.h"

// The renderer's exceptions and log lines that carry fixed line numbers name
// MyApp.cpp, whichever of its files throws them; the others name their own
// file and line (THROW_MY_EXCEPTION, DBG_LOG).
const wchar_t* myAppSourcePath();
#define MYAPP_THROW(line, callName, code) \
  throw new CMyException(myAppSourcePath(), (line), 3, (callName), (int)(code))

// The fixed-line log lines of the frame, written from MyApp.cpp.
namespace myapp {
// What tells one failure (of a frame, of a part's making) from another.
inline std::wstring failureKey(const CMyException* e) {
  return std::wstring(e->m_callName ? e->m_callName : L"") + L"(" + std::to_wstring(e->m_line) +
         L") " + std::to_wstring((unsigned)e->m_code);
}

void logDrawComError(const _com_error& e);   // CMyApp::draw
void logThemeComError(const _com_error& e);  // CMyApp::getThemeProps
void logPaintComError(const _com_error& e);  // CMyApp::paint
}  // namespace myapp

// Empties a COM holder (releasing what it held); an empty holder stays empty.
template <class Holder>
inline void resetHolder(Holder& holder) {
  holder.Attach(NULL);
}

// Ends a draw that an exception abandoned between BeginDraw and EndDraw, so the
// target accepts the next BeginDraw. end() ends it normally and returns EndDraw's result.
template <class Target>
class DrawScope {
 public:
  // Target is a COM holder or an interface pointer; through an empty holder
  // BeginDraw raises _com_error(E_POINTER) before anything began.
  explicit DrawScope(const Target& target) : m_target(target), m_open(false) {
    m_target->BeginDraw();
    m_open = true;
  }
  ~DrawScope() {
    if (m_open) m_target->EndDraw(NULL, NULL);
  }
  DrawScope(const DrawScope&) = delete;
  DrawScope& operator=(const DrawScope&) = delete;
  HRESULT end() {
    m_open = false;
    return m_target->EndDraw(NULL, NULL);
  }

 private:
  Target m_target;
  bool m_open;
};
