// The active-caption bitmap of a visual style.
//
// GetThemeBitmap is looked up at run time: some uxtheme builds do not export it, and a
// bound import of a missing entry would end the process. The bitmap is asked for as a
// copy (GBF_COPY) because this wrapper deletes it; a GBF_DIRECT bitmap belongs to the
// theme and must not be deleted by its user.
#include "C_HBITMAP.h"

#include <vssym32.h>

#include "CMyException.h"

namespace {

C_HBITMAP::GetThemeBitmapFn lookUpThemeBitmap() {
  HMODULE module = GetModuleHandleW(L"uxtheme.dll");
  if (module == NULL) module = LoadLibraryW(L"uxtheme.dll");  // kept for the process lifetime
  if (module == NULL) return NULL;
  return reinterpret_cast<C_HBITMAP::GetThemeBitmapFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetThemeBitmap")));
}

}  // namespace

C_HBITMAP::GetThemeBitmapFn C_HBITMAP::systemEntry() {
  static const GetThemeBitmapFn entry = lookUpThemeBitmap();
  return entry;
}

C_HBITMAP::C_HBITMAP(HTHEME theme) : C_HBITMAP(theme, systemEntry()) {}

C_HBITMAP::C_HBITMAP(HTHEME theme, GetThemeBitmapFn getThemeBitmap) : m_hBitmap(NULL) {
  HRESULT hr = E_NOTIMPL;
  HBITMAP copy = NULL;
  if (getThemeBitmap != NULL) {
    hr = getThemeBitmap(theme, WP_CAPTION, CS_ACTIVE, TMT_DIBDATA, GBF_COPY, &copy);
  }
  if (FAILED(hr) || copy == NULL) {
    // A copy handed out with a failure is still ours to delete.
    if (copy != NULL) DeleteObject(copy);
    throw new CMyException(SRC_PATHW, 16, 3, L"GetThemeBitmap()", -1);
  }
  m_hBitmap = copy;
}

C_HBITMAP::~C_HBITMAP() {
  if (m_hBitmap != NULL) DeleteObject(m_hBitmap);
}
