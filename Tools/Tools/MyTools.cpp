// Pictures from the program's resources, through an HGLOBAL stream and OleLoadPicture.
#include "MyTools.h"

#include <cstring>

#include "Dbg.h"
#include "UniqueAny.h"

namespace {

using StreamPtr = _com_ptr_t<_com_IIID<IStream, &__uuidof(IStream)>>;

// The resource's bytes copied into a movable global block; empty (logged) on failure.
UniqueHGLOBAL copyResource(HINSTANCE hInstance, WORD id, const wchar_t* type) {
  HRSRC info = FindResourceW(hInstance, MAKEINTRESOURCEW(id), type);
  if (info == NULL) {
    DBG_LOG_AT(LOG_ERROR, 186, L"FindResource() : [0x%x]", (unsigned)GetLastError());
    return UniqueHGLOBAL();
  }
  HGLOBAL loaded = LoadResource(hInstance, info);
  if (loaded == NULL) {
    DBG_LOG_AT(LOG_ERROR, 193, L"LoadResource()");
    return UniqueHGLOBAL();
  }
  const void* bytes = LockResource(loaded);
  if (bytes == NULL) {
    DBG_LOG_AT(LOG_ERROR, 200, L"LockResource()");
    return UniqueHGLOBAL();
  }
  // FreeResource is a no-op for a loaded resource; it is called on every road all the same.
  auto freeResource = scope_exit([loaded] { FreeResource(loaded); });
  DWORD size = SizeofResource(hInstance, info);
  if (size == 0) {
    DBG_LOG_AT(LOG_ERROR, 208, L"SizeofResource()");
    return UniqueHGLOBAL();
  }
  UniqueHGLOBAL block(GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size));
  if (!block) {
    DBG_LOG_AT(LOG_ERROR, 216, L"GlobalAlloc()");
    return UniqueHGLOBAL();
  }
  void* target = GlobalLock(block.get());
  if (target == NULL) {
    DBG_LOG_AT(LOG_ERROR, 224, L"GlobalLock()");
    return UniqueHGLOBAL();
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(block.get());
  return block;
}

}  // namespace

IPicturePtr loadPicture(HINSTANCE hInstance, WORD id, const wchar_t* type) {
  UniqueHGLOBAL block = copyResource(hInstance, id, type);
  if (!block) return IPicturePtr();

  StreamPtr stream;
  // The block stays ours: the stream is released before the block is freed.
  if (FAILED(CreateStreamOnHGlobal(block.get(), FALSE, &stream))) {
    DBG_LOG_AT(LOG_ERROR, 238, L"CreateStreamOnHGlobal()");
    return IPicturePtr();
  }
  IPicturePtr picture;
  HRESULT hr = OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
  if (FAILED(hr) || !picture) {
    DBG_LOG_AT(LOG_ERROR, 247, L"OleLoadPicture()");
    return IPicturePtr();
  }
  return picture;
}
