// Pictures from the program's resources, through an HGLOBAL stream and OleLoadPicture.
#include "MyTools.h"

#include <cstring>

#include "Dbg.h"

namespace {

// The resource's bytes copied into a movable global block; NULL (logged) on failure.
HGLOBAL copyResource(HINSTANCE hInstance, WORD id, const wchar_t* type) {
  HRSRC info = FindResourceW(hInstance, MAKEINTRESOURCEW(id), type);
  if (info == NULL) {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : FindResource() : [0x%x]\n", DBG_FILE, 186, L"ERROR",
             (unsigned)GetLastError());
    return NULL;
  }
  HGLOBAL loaded = LoadResource(hInstance, info);
  if (loaded == NULL) {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : LoadResource()\n", DBG_FILE, 193, L"ERROR");
    return NULL;
  }
  const void* bytes = LockResource(loaded);
  if (bytes == NULL) {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : LockResource()\n", DBG_FILE, 200, L"ERROR");
    return NULL;
  }
  DWORD size = SizeofResource(hInstance, info);
  if (size == 0) {
    FreeResource(loaded);
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : SizeofResource()\n", DBG_FILE, 208, L"ERROR");
    return NULL;
  }
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size);
  if (block == NULL) {
    FreeResource(loaded);
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : GlobalAlloc()\n", DBG_FILE, 216, L"ERROR");
    return NULL;
  }
  void* target = GlobalLock(block);
  if (target == NULL) {
    FreeResource(loaded);
    GlobalFree(block);
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : GlobalLock()\n", DBG_FILE, 224, L"ERROR");
    return NULL;
  }
  std::memcpy(target, bytes, size);
  FreeResource(loaded);
  GlobalUnlock(block);
  return block;
}

}  // namespace

IPicturePtr loadPicture(HINSTANCE hInstance, WORD id, const wchar_t* type) {
  HGLOBAL block = copyResource(hInstance, id, type);
  if (block == NULL) return IPicturePtr();

  IStream* stream = NULL;
  if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) {  // the block stays ours
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : CreateStreamOnHGlobal()\n", DBG_FILE, 238, L"ERROR");
    GlobalFree(block);
    return IPicturePtr();
  }
  IPicture* picture = NULL;
  HRESULT hr = OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
  stream->Release();
  GlobalFree(block);
  if (FAILED(hr) || picture == NULL) {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : OleLoadPicture()\n", DBG_FILE, 247, L"ERROR");
    return IPicturePtr();
  }
  return IPicturePtr(picture, false);  // takes over the reference OleLoadPicture gave
}
