// COM initialisation of the calling thread, balanced by the destructor.
#include "C_CoInitialize.h"

#include <objbase.h>

#include "CMyException.h"
#include "Dbg.h"

C_CoInitialize::C_CoInitialize() : m_initialized(0) {
  HRESULT hr = CoInitialize(NULL);  // S_FALSE: already initialised here, still ours to balance
  if (FAILED(hr)) throw new CMyException(SRC_PATHW, 12, 3, L"CoInitialize()", (int)hr);
  m_initialized = 1;
}

C_CoInitialize::~C_CoInitialize() {
  if (m_initialized) CoUninitialize();
}
