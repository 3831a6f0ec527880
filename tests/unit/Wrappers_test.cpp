// The scope-bound resource wrappers and picture loading.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "CMyException.h"
#include "C_CoInitialize.h"
#include "C_HBITMAP.h"
#include "C_HDC.h"
#include "C_HDCCompat.h"
#include "C_ThemeData.h"
#include "MyTools.h"
#include "WindowTestSupport.h"

#include <vssym32.h>

namespace {

// Runs body, which must throw a CMyException*, and hands the exception to check.
template <class Body, class Check>
void expectMyException(Body body, Check check) {
  CMyException* caught = nullptr;
  try {
    body();
  } catch (CMyException* e) {
    caught = e;
  }
  ASSERT_NE(nullptr, caught) << "no CMyException was thrown";
  std::unique_ptr<CMyException> owner(caught);
  check(*caught);
}

class WrapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_wnd = wts::makeWindow(L"Wrapper test", WS_OVERLAPPEDWINDOW);
    ASSERT_NE(nullptr, m_wnd);
  }
  void TearDown() override { DestroyWindow(m_wnd); }
  HWND m_wnd = nullptr;
};

}  // namespace

TEST(DibHeader, ThirtyTwoBitBottomUpWithAlphaMask) {
  BITMAPV5HEADER h = makeDibHeader(7, 5);
  EXPECT_EQ(124u, h.bV5Size);
  EXPECT_EQ(7, h.bV5Width);
  EXPECT_EQ(5, h.bV5Height);  // positive: bottom-up
  EXPECT_EQ(1, h.bV5Planes);
  EXPECT_EQ(32, h.bV5BitCount);
  EXPECT_EQ((DWORD)BI_BITFIELDS, h.bV5Compression);
  EXPECT_EQ(0x00FF0000u, h.bV5RedMask);
  EXPECT_EQ(0x0000FF00u, h.bV5GreenMask);
  EXPECT_EQ(0x000000FFu, h.bV5BlueMask);
  EXPECT_EQ(0xFF000000u, h.bV5AlphaMask);
  EXPECT_EQ(0u, h.bV5SizeImage);
  EXPECT_EQ(0u, h.bV5CSType);
  EXPECT_EQ(0u, h.bV5Intent);
}

TEST_F(WrapperTest, WindowDcIsTakenAndGivenBack) {
  std::unique_ptr<C_HDC> dc(new C_HDC(m_wnd));
  EXPECT_EQ(m_wnd, dc->m_hWnd);
  ASSERT_NE(nullptr, dc->m_hDC);
  EXPECT_EQ(m_wnd, WindowFromDC(dc->m_hDC));
}

TEST(WindowDc, NullWindowThrowsBeforeGetDc) {
  expectMyException([] { C_HDC dc(nullptr); },
                    [](CMyException& e) {
                      EXPECT_STREQ(L"HWND bad.", e.m_callName);
                      EXPECT_EQ(3, e.m_level);
                      EXPECT_EQ(18, e.m_line);
                      EXPECT_EQ(-1, e.m_code);
                      EXPECT_NE(nullptr, wcsstr(e.m_fileName, L"C_HDC.cpp"));
                    });
}

TEST_F(WrapperTest, MemoryDcRowZeroIsTheBottomRow) {
  C_HDC window(m_wnd);
  SIZE size = {3, 2};
  std::unique_ptr<C_HDCCompat> mem(new C_HDCCompat(window.m_hDC, size));
  EXPECT_EQ(window.m_hDC, mem->m_hSrcDC);
  ASSERT_NE(nullptr, mem->m_hDC);
  ASSERT_NE(nullptr, mem->m_pBits);
  ASSERT_NE(nullptr, mem->m_hOldBitmap);
  EXPECT_EQ(mem->m_hBitmap, GetCurrentObject(mem->m_hDC, OBJ_BITMAP));

  DIBSECTION ds = {};
  ASSERT_EQ((int)sizeof(ds), GetObjectW(mem->m_hBitmap, sizeof(ds), &ds));
  EXPECT_EQ(32, ds.dsBm.bmBitsPixel);
  EXPECT_EQ(3, ds.dsBmih.biWidth);
  EXPECT_EQ(2, ds.dsBmih.biHeight);
  EXPECT_EQ(0x00FF0000u, ds.dsBitfields[0]);
  EXPECT_EQ(0x0000FF00u, ds.dsBitfields[1]);
  EXPECT_EQ(0x000000FFu, ds.dsBitfields[2]);

  // Red at the bottom-left pixel, blue at the top-right one.
  SetPixelV(mem->m_hDC, 0, 1, RGB(255, 0, 0));
  SetPixelV(mem->m_hDC, 2, 0, RGB(0, 0, 255));
  GdiFlush();
  const DWORD* bits = static_cast<const DWORD*>(mem->m_pBits);
  EXPECT_EQ(0x00FF0000u, bits[0] & 0x00FFFFFFu);      // row 0 = bottom row, blue in low byte
  EXPECT_EQ(0x000000FFu, bits[3 + 2] & 0x00FFFFFFu);  // row 1 = top row
  EXPECT_EQ(0u, bits[3] & 0x00FFFFFFu);

  // A word written with alpha is read back through the DC unchanged in colour.
  const_cast<DWORD*>(bits)[1] = 0x8000FF00u;
  EXPECT_EQ(RGB(0, 255, 0), GetPixel(mem->m_hDC, 1, 1));

  HBITMAP bitmap = mem->m_hBitmap;
  HDC memDc = mem->m_hDC;
  mem.reset();
  EXPECT_EQ(0u, GetObjectType(bitmap));  // the DIB section is deleted
  EXPECT_EQ(0u, GetObjectType(memDc));   // and so is the memory DC
}

TEST_F(WrapperTest, ZeroSizeFailsWithOneErrorLineAndLevelZero) {
  wts::LogCapture log(L"h3_wrappers_zero.log");
  C_HDC window(m_wnd);
  SIZE size = {0, 5};
  expectMyException([&] { C_HDCCompat mem(window.m_hDC, size); },
                    [](CMyException& e) {
                      EXPECT_STREQ(L"CreateDIBSection()", e.m_callName);
                      EXPECT_EQ(0, e.m_level);
                      EXPECT_EQ(116, e.m_line);
                      EXPECT_EQ(-1, e.m_code);
                    });
  EXPECT_EQ(1u, log.count(L"CreateDIBSection() : NULL : HDC : 0x"));
  EXPECT_TRUE(log.contains(L", CX,CY : 0,5\r\n")) << log.text();
  EXPECT_TRUE(
      log.contains(L"C_HDCCompat.cpp" + std::wstring(24 - 15, L' ') + L"(  115) ERROR    : "))
      << log.text();
}

TEST(CoInitialize, AlreadyInitialisedCountsAndIsBalanced) {
  HRESULT afterwards = E_FAIL;
  int first = 0, second = 0;
  std::thread worker([&] {
    {
      C_CoInitialize outer;
      first = outer.m_initialized;
      {
        C_CoInitialize inner;  // S_FALSE
        second = inner.m_initialized;
      }
    }
    // Both were balanced: COM starts afresh on this thread.
    afterwards = CoInitialize(nullptr);
    if (SUCCEEDED(afterwards)) CoUninitialize();
  });
  worker.join();
  EXPECT_EQ(1, first);
  EXPECT_EQ(1, second);
  EXPECT_EQ(S_OK, afterwards);
}

TEST(CoInitialize, OtherApartmentThrows) {
  std::thread worker([] {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    expectMyException([] { C_CoInitialize com; },
                      [](CMyException& e) {
                        EXPECT_STREQ(L"CoInitialize()", e.m_callName);
                        EXPECT_EQ(12, e.m_line);
                        EXPECT_EQ(3, e.m_level);
                        EXPECT_EQ((int)RPC_E_CHANGED_MODE, e.m_code);
                      });
    CoUninitialize();
  });
  worker.join();
}

TEST_F(WrapperTest, ThemeDataOfAWindowAndItsCaptionBitmap) {
  wts::LogCapture log(L"h3_wrappers_theme.log");
  std::unique_ptr<C_ThemeData> theme(new C_ThemeData(m_wnd));
  if (theme->m_hTheme == nullptr) {
    // No visual style: one WARN line, nothing thrown.
    EXPECT_TRUE(log.contains(L"(   18) WARN     : OpenThemeData() : NULL"));
    return;
  }
  EXPECT_FALSE(log.contains(L"OpenThemeData()"));

  HMODULE uxtheme = GetModuleHandleW(L"uxtheme.dll");
  bool exported = uxtheme != nullptr && GetProcAddress(uxtheme, "GetThemeBitmap") != nullptr;
  if (!exported) {
    // Where uxtheme lacks the entry (Wine), the wrapper throws as a failed call instead
    // of taking the process down through a missing import.
    expectMyException([&] { C_HBITMAP bitmap(theme->m_hTheme); },
                      [](CMyException& e) {
                        EXPECT_STREQ(L"GetThemeBitmap()", e.m_callName);
                        EXPECT_EQ(16, e.m_line);
                        EXPECT_EQ(3, e.m_level);
                        EXPECT_EQ(-1, e.m_code);
                      });
    return;
  }
  // With the entry, the bitmap is a copy that the wrapper owns and deletes.
  HBITMAP handle = nullptr;
  {
    C_HBITMAP bitmap(theme->m_hTheme);
    handle = bitmap.m_hBitmap;
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ((DWORD)OBJ_BITMAP, GetObjectType(handle));
  }
  EXPECT_EQ(0u, GetObjectType(handle));
  std::unique_ptr<C_ThemeData> again(new C_ThemeData(m_wnd));
  C_HBITMAP fresh(again->m_hTheme);  // the theme still hands out its bitmap
  EXPECT_EQ((DWORD)OBJ_BITMAP, GetObjectType(fresh.m_hBitmap));
}

// A stand-in for GetThemeBitmap: notes what it was asked and answers as told, handing
// out a fresh bitmap that the caller must delete.
struct ThemeBitmapScript {
  HRESULT result = S_OK;
  bool handOut = true;
  int calls = 0;
  HTHEME theme = nullptr;
  int part = 0, state = 0, prop = 0;
  ULONG flags = 0;
  HBITMAP made = nullptr;
};
ThemeBitmapScript s_themeBitmap;

HRESULT WINAPI scriptedThemeBitmap(HTHEME theme, int part, int state, int prop, ULONG flags,
                                   HBITMAP* out) {
  ThemeBitmapScript& s = s_themeBitmap;
  ++s.calls;
  s.theme = theme;
  s.part = part;
  s.state = state;
  s.prop = prop;
  s.flags = flags;
  s.made = s.handOut ? CreateBitmap(4, 4, 1, 32, nullptr) : nullptr;
  *out = s.made;
  return s.result;
}

TEST(CaptionBitmap, TheCopyOfTheActiveCaptionIsOwnedAndDeletedOnce) {
  s_themeBitmap = ThemeBitmapScript();
  HTHEME theme = reinterpret_cast<HTHEME>(0x1234);
  {
    C_HBITMAP bitmap(theme, scriptedThemeBitmap);
    EXPECT_EQ(1, s_themeBitmap.calls);
    EXPECT_EQ(theme, s_themeBitmap.theme);
    EXPECT_EQ(WP_CAPTION, s_themeBitmap.part);
    EXPECT_EQ(CS_ACTIVE, s_themeBitmap.state);
    EXPECT_EQ(TMT_DIBDATA, s_themeBitmap.prop);
    EXPECT_EQ((ULONG)GBF_COPY, s_themeBitmap.flags);  // a copy: ours to delete
    ASSERT_NE(nullptr, s_themeBitmap.made);
    EXPECT_EQ(s_themeBitmap.made, bitmap.m_hBitmap);
    EXPECT_EQ((DWORD)OBJ_BITMAP, GetObjectType(bitmap.m_hBitmap));
  }
  EXPECT_EQ(0u, GetObjectType(s_themeBitmap.made)) << "the copy outlived its owner";
}

TEST(CaptionBitmap, NoBitmapThrowsAndLeavesNoCopyBehind) {
  struct Case {
    HRESULT result;
    bool handOut;
  } cases[] = {{E_FAIL, false}, {S_OK, false}, {E_FAIL, true}};
  for (const Case& c : cases) {
    s_themeBitmap = ThemeBitmapScript();
    s_themeBitmap.result = c.result;
    s_themeBitmap.handOut = c.handOut;
    expectMyException([] { C_HBITMAP bitmap(nullptr, scriptedThemeBitmap); },
                      [](CMyException& e) {
                        EXPECT_STREQ(L"GetThemeBitmap()", e.m_callName);
                        EXPECT_EQ(16, e.m_line);
                        EXPECT_EQ(3, e.m_level);
                        EXPECT_EQ(-1, e.m_code);
                      });
    EXPECT_EQ(1, s_themeBitmap.calls);
    if (c.handOut) {
      EXPECT_EQ(0u, GetObjectType(s_themeBitmap.made)) << "copy left with a failure";
    }
  }
  // Without the entry nothing is asked and the same failure is thrown.
  expectMyException([] { C_HBITMAP bitmap(nullptr, nullptr); },
                    [](CMyException& e) { EXPECT_STREQ(L"GetThemeBitmap()", e.m_callName); });
}

TEST(CaptionBitmap, NullThemeThrows) {
  expectMyException([] { C_HBITMAP bitmap(nullptr); },
                    [](CMyException& e) {
                      EXPECT_STREQ(L"GetThemeBitmap()", e.m_callName);
                      EXPECT_EQ(16, e.m_line);
                      EXPECT_EQ(-1, e.m_code);
                    });
}

TEST(LoadPicture, MissingTypeLogsResourceTypeNotFound) {
  wts::LogCapture log(L"h3_picture_type.log");
  IPicturePtr picture = loadPicture(GetModuleHandleW(nullptr), 122, L"NOSUCHTYPE");
  EXPECT_EQ(nullptr, picture.GetInterfacePtr());
  EXPECT_EQ(1u, log.count(L"(  186) ERROR    : FindResource() : [0x715]")) << log.text();
}

TEST(LoadPicture, MissingIdOfAPresentTypeLogsNameNotFound) {
  wts::LogCapture log(L"h3_picture_id.log");
  // Icon groups are present (icon 129); id 4321 is not.
  IPicturePtr picture = loadPicture(GetModuleHandleW(nullptr), 4321, RT_GROUP_ICON);
  EXPECT_EQ(nullptr, picture.GetInterfacePtr());
  EXPECT_EQ(1u, log.count(L"(  186) ERROR    : FindResource() : [0x716]")) << log.text();
}

TEST(LoadPicture, PresentResourceThatIsNoPictureFailsInOleLoadPicture) {
  wts::LogCapture log(L"h3_picture_group.log");
  // Icon group 129 is found, copied and streamed, but a group directory is no picture.
  IPicturePtr picture = loadPicture(GetModuleHandleW(nullptr), 129, RT_GROUP_ICON);
  EXPECT_EQ(nullptr, picture.GetInterfacePtr());
  EXPECT_FALSE(log.contains(L"FindResource()"));
  EXPECT_EQ(1u, log.count(L"(  247) ERROR    : OleLoadPicture()")) << log.text();
}

namespace {

// A 2 x 2 bitmap file, 24 bits per pixel, as the "SPLASH" pictures are stored.
std::vector<BYTE> smallBitmapFile() {
  const int rowBytes = 8;  // 2 pixels of 3 bytes, padded to 4-byte rows
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = 2;
  info.biHeight = 2;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + 2 * rowBytes;
  std::vector<BYTE> bytes(file.bfSize, 0x80);
  memcpy(bytes.data(), &file, sizeof(file));
  memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
  return bytes;
}

// A copy of this test program with one more resource, loaded as a resource module.
class ModuleWithPicture {
 public:
  ModuleWithPicture(const wchar_t* type, WORD id, const std::vector<BYTE>& data) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    m_path = L"h3_picture_module.exe";
    if (!CopyFileW(self, m_path.c_str(), FALSE)) return;
    HANDLE update = BeginUpdateResourceW(m_path.c_str(), FALSE);
    if (update == nullptr) return;
    BOOL added = UpdateResourceW(update, type, MAKEINTRESOURCEW(id),
                                 MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                 const_cast<BYTE*>(data.data()), (DWORD)data.size());
    if (!EndUpdateResourceW(update, !added) || !added) return;
    m_module = LoadLibraryExW(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~ModuleWithPicture() {
    if (m_module != nullptr) FreeLibrary(m_module);
    DeleteFileW(m_path.c_str());
  }
  HMODULE m_module = nullptr;

 private:
  std::wstring m_path;
};

}  // namespace

TEST(LoadPicture, BitmapResourceLoadsAsAPicture) {
  // A resource of a known size is added to a copy of this test program, under the type
  // the splash pictures use and an id the program leaves free.
  ModuleWithPicture copy(L"SPLASH", 222, smallBitmapFile());
  ASSERT_NE(nullptr, copy.m_module);
  C_CoInitialize com;
  wts::LogCapture log(L"h3_picture_present.log");
  IPicturePtr picture = loadPicture(copy.m_module, 222, L"SPLASH");
  ASSERT_NE(nullptr, picture.GetInterfacePtr()) << log.text();
  SHORT type = PICTYPE_UNINITIALIZED;
  EXPECT_EQ(S_OK, picture->get_Type(&type));
  EXPECT_EQ(PICTYPE_BITMAP, type);
  OLE_HANDLE handle = 0;
  ASSERT_EQ(S_OK, picture->get_Handle(&handle));
  BITMAP bm = {};
  ASSERT_NE(0, GetObjectW((HBITMAP)(UINT_PTR)handle, sizeof(bm), &bm));
  EXPECT_EQ(2, bm.bmWidth);
  EXPECT_EQ(2, bm.bmHeight);
  EXPECT_FALSE(log.contains(L"ERROR")) << log.text();
  // The same module without the id answers as a missing name.
  EXPECT_EQ(nullptr, loadPicture(copy.m_module, 223, L"SPLASH").GetInterfacePtr());
  EXPECT_TRUE(log.contains(L"FindResource() : [0x716]")) << log.text();
}
