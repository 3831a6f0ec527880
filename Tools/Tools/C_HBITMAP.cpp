// The active-caption bitmap of a visual style.
//
// GetThemeBitmap is looked up at run time: some uxtheme builds do not export it, and a
// bound import of a missing entry would end the process. The bitmap is asked for as a
// copy (GBF_COPY) because this wrapper deletes it; a GBF_DIRECT bitmap belongs to the
// theme and must not be deleted by its user.
#include "C_HBITMAP.h"

#include <vssym32.h>

#include "CMyException.h"
#include "Dbg.h"

namespace {

typedef HRESULT(WINAPI* GetThemeBitmapFn)(HTHEME, int, int, int, ULONG, HBITMAP*);

GetThemeBitmapFn themeBitmapEntry() {
  HMODULE module = GetModuleHandleW(L"uxtheme.dll");
  if (module == NULL) module = LoadLibraryW(L"uxtheme.dll");  // kept for the process lifetime
  if (module == NULL) return NULL;
  return reinterpret_cast<GetThemeBitmapFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetThemeBitmap")));
}

}  // namespace

C_HBITMAP::C_HBITMAP(HTHEME theme) : m_hBitmap(NULL) {
  static const GetThemeBitmapFn getThemeBitmap = themeBitmapEntry();
  HRESULT hr = E_NOTIMPL;
  if (getThemeBitmap != NULL) {
    hr = getThemeBitmap(theme, WP_CAPTION, CS_ACTIVE, TMT_DIBDATA, GBF_COPY, &m_hBitmap);
  }
  if (FAILED(hr) || m_hBitmap == NULL) {
    m_hBitmap = NULL;
    throw new CMyException(SRC_PATHW, 16, 3, L"GetThemeBitmap()", -1);
  }
}

C_HBITMAP::~C_HBITMAP() {
  if (m_hBitmap != NULL) DeleteObject(m_hBitmap);
}
