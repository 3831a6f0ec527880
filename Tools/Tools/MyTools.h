// Pictures from the program's resources.
#pragma once
#include <windows.h>

#include <comdef.h>
#include <ocidl.h>
#include <olectl.h>

#ifndef CORVELA_IPICTURE_PTR
#define CORVELA_IPICTURE_PTR
_COM_SMARTPTR_TYPEDEF(IPicture, __uuidof(IPicture));
#endif

// The resource as an OLE picture; null (with one ERROR log line) when it cannot be loaded.
IPicturePtr loadPicture(HINSTANCE hInstance, WORD id, const wchar_t* type);
