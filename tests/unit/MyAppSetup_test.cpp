// The renderer's set-up, its lasting bitmaps, the taking over of new settings
// and the failures of set-up, on a window of the test process.
#include <memory>

#include "MyAppDetail.h"
#include "MyAppTestSupport.h"
#include "WindowTestSupport.h"

namespace {
// The size in pixels of a Direct2D bitmap.
D2D1_SIZE_U pixelSize(ID2D1Bitmap* bitmap) { return bitmap->GetPixelSize(); }

// Draws a bitmap 1:1 onto a transparent memory DC through the renderer's target.
struct BitmapReadBack {
  std::unique_ptr<C_HDC> windowDC;
  std::unique_ptr<C_HDCCompat> memoryDC;
  SIZE size;
  BitmapReadBack(CMyApp& app, HWND hWnd, ID2D1Bitmap* bitmap, SIZE s) : size(s) {
    windowDC.reset(new C_HDC(hWnd));
    memoryDC.reset(new C_HDCCompat(windowDC->m_hDC, s));
    const RECT bounds = {0, 0, s.cx, s.cy};
    EXPECT_HRESULT_SUCCEEDED(app.m_pRenderTarget->BindDC(memoryDC->m_hDC, &bounds));
    app.m_pRenderTarget->BeginDraw();
    const D2D1_COLOR_F clear = {0, 0, 0, 0};
    app.m_pRenderTarget->Clear(&clear);
    const D2D1_RECT_F dst = {0, 0, (float)s.cx, (float)s.cy};
    app.m_pRenderTarget->DrawBitmap(bitmap, &dst, 1.0f,
                                    D2D1_BITMAP_INTERPOLATION_MODE_NEAREST_NEIGHBOR, nullptr);
    EXPECT_HRESULT_SUCCEEDED(app.m_pRenderTarget->EndDraw(nullptr, nullptr));
  }
  UINT32 at(int x, int y) const { return mts::pixelAt(*memoryDC, size, x, y); }
};

int alphaOf(UINT32 p) { return (int)(p >> 24); }
int redOf(UINT32 p) { return (int)((p >> 16) & 0xFF); }
int greenOf(UINT32 p) { return (int)((p >> 8) & 0xFF); }
int blueOf(UINT32 p) { return (int)(p & 0xFF); }
}  // namespace

class MyAppSetup : public mts::RendererFixture {};

TEST(MyAppObject, ConstructionValuesAndProgramWideRecords) {
  CMyApp app;
  EXPECT_EQ(app.m_hWnd, nullptr);
  EXPECT_EQ(app.m_spnVal, 100);
  EXPECT_EQ(app.m_fontColor, 0xFFFFFFu);
  EXPECT_EQ(app.m_bokasiOpacity, 80);
  EXPECT_EQ(app.m_imeColorOn, 0xCC3355u);
  EXPECT_EQ(app.m_imeColorOff, 0x5533CCu);
  EXPECT_EQ(app.m_hLastTheme, (HTHEME)(LONG_PTR)-1);
  EXPECT_FLOAT_EQ(app.m_horizontalPos, 80.0f);
  EXPECT_FALSE(app.m_pD2DFactory);
  EXPECT_FALSE(app.m_pCoInit);
  EXPECT_EQ(g_pixelFormat.format, DXGI_FORMAT_B8G8R8A8_UNORM);
  EXPECT_EQ(g_pixelFormat.alphaMode, D2D1_ALPHA_MODE_PREMULTIPLIED);
  EXPECT_EQ(g_renderTargetProps.type, D2D1_RENDER_TARGET_TYPE_DEFAULT);
  EXPECT_EQ(g_renderTargetProps.pixelFormat.format, DXGI_FORMAT_B8G8R8A8_UNORM);
  EXPECT_FLOAT_EQ(g_renderTargetProps.dpiX, 0.0f);
  EXPECT_EQ(g_renderTargetProps.usage, D2D1_RENDER_TARGET_USAGE_NONE);
}

TEST(MyAppObject, DestroyingAnUnusedRendererLeavesComAlone) {
  HRESULT first = CoInitialize(nullptr);
  ASSERT_TRUE(SUCCEEDED(first));
  { CMyApp app; }
  // Still initialised by us: a second CoInitialize only counts up.
  HRESULT again = CoInitialize(nullptr);
  EXPECT_EQ(again, S_FALSE);
  CoUninitialize();
  CoUninitialize();
}

TEST_F(MyAppSetup, CreateMakesEverythingFromTheSettings) {
  g_pSettings->imeColorOn = 0x123456;
  g_pSettings->spnVal = 55;
  g_pSettings->iconShow = 0;
  CMyApp& app = renderer();
  EXPECT_EQ(app.m_hWnd, m_hWnd);
  EXPECT_TRUE(app.m_pD2DFactory);
  EXPECT_TRUE(app.m_pWICFactory);
  EXPECT_TRUE(app.m_pDWriteFactory);
  EXPECT_TRUE(app.m_pCoInit);
  EXPECT_TRUE(app.m_pRenderTarget);
  EXPECT_NE(app.m_hFont.get(), nullptr);
  EXPECT_EQ(app.m_imeColorOn, 0x123456u);
  EXPECT_EQ(app.m_spnVal, 55);
  EXPECT_EQ(app.m_iconShow, 0);
  EXPECT_EQ(memcmp(&app.m_logFont, &g_pSettings->logFont, sizeof(LOGFONTW)), 0);
  ASSERT_TRUE(app.m_pBokasiBitmap);
  D2D1_SIZE_U bokasi = pixelSize(app.m_pBokasiBitmap);
  EXPECT_EQ(bokasi.width, 36u);
  EXPECT_EQ(bokasi.height, 24u);
  ASSERT_TRUE(app.m_pDefaultCaption);
  UINT w = 0, h = 0;
  EXPECT_HRESULT_SUCCEEDED(app.m_pDefaultCaption->GetSize(&w, &h));
  EXPECT_EQ(w, 66u);
  EXPECT_EQ(h, 58u);
  EXPECT_FALSE(app.m_pCaption) << "the first draw takes the caption image";
}

TEST_F(MyAppSetup, IconHoldersHoldTheFourImagesOfIcon129) {
  CMyApp& app = renderer();
  ID2D1BitmapPtr* holders[] = {std::addressof(app.m_pIcon16), std::addressof(app.m_pIcon24),
                               std::addressof(app.m_pIcon32), std::addressof(app.m_pIcon48)};
  const UINT sizes[] = {16, 24, 32, 48};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(*holders[i]) << sizes[i];
    D2D1_SIZE_U s = pixelSize(*holders[i]);
    EXPECT_EQ(s.width, sizes[i]);
    EXPECT_EQ(s.height, sizes[i]);
  }
  ID2D1BitmapPtr icon;
  app.getIcon(icon, 64);
  ASSERT_TRUE(icon);
  EXPECT_EQ(pixelSize(icon).width, 32u);
  EXPECT_NE((ID2D1Bitmap*)icon, (ID2D1Bitmap*)app.m_pIcon32) << "getIcon makes a new bitmap";
}

TEST_F(MyAppSetup, SelectIconSharesTheHolderOfTheBand) {
  CMyApp& app = renderer();
  ID2D1BitmapPtr r;
  app.selectIcon(r, 47);
  EXPECT_EQ((ID2D1Bitmap*)r, (ID2D1Bitmap*)app.m_pIcon16);
  app.selectIcon(r, 48);
  EXPECT_EQ((ID2D1Bitmap*)r, (ID2D1Bitmap*)app.m_pIcon24);
  app.selectIcon(r, 64);
  EXPECT_EQ((ID2D1Bitmap*)r, (ID2D1Bitmap*)app.m_pIcon32);
  app.selectIcon(r, -2);
  EXPECT_EQ((ID2D1Bitmap*)r, (ID2D1Bitmap*)app.m_pIcon48);
  resetHolder(app.m_pIcon32);
  app.selectIcon(r, 70);
  EXPECT_FALSE(r) << "an empty icon holder gives an empty result";
}

TEST_F(MyAppSetup, DefaultCaptionKeepsItsAlpha) {
  CMyApp& app = renderer();
  // The converted image is premultiplied BGRA: the rounded corner is empty,
  // the strip's inside opaque, in both halves.
  BYTE pixels[66 * 58 * 4];
  WICRect all = {0, 0, 66, 58};
  ASSERT_HRESULT_SUCCEEDED(app.m_pDefaultCaption->CopyPixels(&all, 66 * 4, sizeof(pixels), pixels));
  auto alphaAt = [&](int x, int y) { return pixels[(y * 66 + x) * 4 + 3]; };
  EXPECT_EQ(alphaAt(0, 0), 0);
  EXPECT_EQ(alphaAt(65, 0), 0);
  EXPECT_EQ(alphaAt(30, 10), 255);
  EXPECT_EQ(alphaAt(0, 0 + 29), 0);
  EXPECT_EQ(alphaAt(30, 40), 255);
}

TEST_F(MyAppSetup, ShadingBitmapIsACapsuleInTheShadingColour) {
  CMyApp& app = renderer();
  ID2D1BitmapPtr red;
  app.getBrushBitmap(0x0000FF, red);
  ASSERT_TRUE(red);
  BitmapReadBack back(app, m_hWnd, red, SIZE{36, 24});
  // middle column: alpha from about 0.1 at the edges to 0.95 in the middle
  const UINT32 centre = back.at(18, 12), top = back.at(18, 0), bottom = back.at(18, 23);
  EXPECT_NEAR(alphaOf(centre), 242, 8);
  EXPECT_LT(alphaOf(top), 80);
  EXPECT_LT(alphaOf(bottom), 80);
  EXPECT_GT(alphaOf(centre), alphaOf(top) + 100);
  // red only (premultiplied on Windows, straight under Wine's DC copy)
  EXPECT_GE(redOf(centre), alphaOf(centre) - 2);
  EXPECT_EQ(greenOf(centre), 0);
  EXPECT_EQ(blueOf(centre), 0);
  // caps: transparent outside the disc, strong near its centre line
  EXPECT_EQ(alphaOf(back.at(0, 0)), 0);
  EXPECT_EQ(alphaOf(back.at(35, 23)), 0);
  EXPECT_GT(alphaOf(back.at(10, 12)), 150);
  EXPECT_GT(alphaOf(back.at(25, 12)), 150);

  ID2D1BitmapPtr black;
  app.getBrushBitmap(0x000000, black);
  BitmapReadBack dark(app, m_hWnd, black, SIZE{36, 24});
  EXPECT_EQ(dark.at(18, 12) & 0x00FFFFFFu, 0u);
  EXPECT_NEAR(alphaOf(dark.at(18, 12)), 242, 8);
}

TEST_F(MyAppSetup, ShadingTargetIsFilledOnlyWhenTheBitmapWasMade) {
  CMyApp& app = renderer();
  ID2D1BitmapPtr target = app.m_pIcon16;
  ID2D1DCRenderTargetPtr renderTarget = app.m_pRenderTarget;
  resetHolder(app.m_pRenderTarget);
  EXPECT_THROW(app.getBrushBitmap(0x00FF00, target), _com_error);
  EXPECT_EQ((ID2D1Bitmap*)target, (ID2D1Bitmap*)app.m_pIcon16) << "the target is untouched";
  app.m_pRenderTarget = renderTarget;
  app.getBrushBitmap(0x00FF00, target);
  EXPECT_EQ(pixelSize(target).width, 36u);
}

TEST_F(MyAppSetup, OnUpdateTakesOverFontShadingAndSettings) {
  CMyApp& app = renderer();
  wts::LogCapture log(L"MyAppSetup_onUpdate.log");
  const HFONT oldFont = app.m_hFont.get();
  ID2D1Bitmap* const oldShading = app.m_pBokasiBitmap;
  CMySerialize next(*g_pSettings);
  next.bokasiColor = 0x0000FF;
  next.spnVal = 70;
  next.imeColorOff = 0x010203;
  next.logFont.lfUnderline = 1;
  app.onUpdate(&next);
  EXPECT_NE(app.m_hFont.get(), nullptr);
  EXPECT_NE(app.m_hFont.get(), oldFont);
  EXPECT_TRUE(app.m_pBokasiBitmap);
  EXPECT_NE((ID2D1Bitmap*)app.m_pBokasiBitmap, oldShading);
  EXPECT_EQ(app.m_bokasiColor, 0x0000FFu);
  EXPECT_EQ(app.m_spnVal, 70);
  EXPECT_EQ(app.m_imeColorOff, 0x010203u);
  EXPECT_EQ(app.m_logFont.lfUnderline, 1);
  EXPECT_TRUE(log.contains(L"onUpdate() : old:40, new:70"));
  EXPECT_TRUE(log.contains(L"onUpdate() : Italic:0, Under:1, Strike:0"));
}

// A part that cannot be made keeps its old object until a frame makes it; every
// other new setting is taken at once, and the failure is logged once.
TEST_F(MyAppSetup, FailedOnUpdateTakesTheSettingsAndTheNextFrameMakesTheShading) {
  CMyApp& app = renderer();
  wts::LogCapture log(L"MyAppSetup_onUpdateFailed.log");
  const HFONT oldFont = app.m_hFont.get();
  ID2D1BitmapPtr oldShading = app.m_pBokasiBitmap;
  ID2D1DCRenderTargetPtr target = app.m_pRenderTarget;
  resetHolder(app.m_pRenderTarget);  // the shading bitmap can no longer be made
  CMySerialize next(*g_pSettings);
  next.bokasiColor = 0x00FF00;
  next.bokasiOpacity = 30;
  next.fontColor = 0x123456;
  next.logFont.lfUnderline = 1;
  CMyException* thrown = nullptr;
  try {
    app.onUpdate(&next);
  } catch (CMyException* e) {
    thrown = e;
  }
  ASSERT_NE(thrown, nullptr);
  EXPECT_STREQ(thrown->m_callName, L"_com_error");
  delete thrown;
  EXPECT_EQ(app.m_bokasiColor, 0x00FF00u);
  EXPECT_EQ(app.m_bokasiOpacity, 30);
  EXPECT_EQ(app.m_fontColor, 0x123456u);
  EXPECT_NE(app.m_hFont.get(), oldFont) << "the font was made";
  EXPECT_EQ((ID2D1Bitmap*)app.m_pBokasiBitmap, (ID2D1Bitmap*)oldShading);

  drawFrame(SIZE{300, 25}, mts::drawInfo(1, L"あ", DISP_FLOAT, 2));
  drawFrame(SIZE{300, 25}, mts::drawInfo(1, L"あ", DISP_FLOAT, 2));
  EXPECT_EQ((ID2D1Bitmap*)app.m_pBokasiBitmap, (ID2D1Bitmap*)oldShading);
  EXPECT_EQ(log.count(L"EXCEPTION : "), 1u) << "once, when it started";

  app.m_pRenderTarget = target;
  drawFrame(SIZE{300, 25}, mts::drawInfo(1, L"あ", DISP_FLOAT, 2));
  ID2D1Bitmap* const made = app.m_pBokasiBitmap;
  EXPECT_NE(made, (ID2D1Bitmap*)oldShading);
  EXPECT_FALSE(app.frameFailed());
  drawFrame(SIZE{300, 25}, mts::drawInfo(1, L"あ", DISP_FLOAT, 2));
  EXPECT_EQ((ID2D1Bitmap*)app.m_pBokasiBitmap, made) << "made once, not every frame";
}

TEST_F(MyAppSetup, ReleaseAllEndsEverythingButTheIcons) {
  CMyApp& app = renderer();
  app.releaseAll();
  EXPECT_EQ(app.m_hFont.get(), nullptr);
  EXPECT_FALSE(app.m_pD2DFactory);
  EXPECT_FALSE(app.m_pWICFactory);
  EXPECT_FALSE(app.m_pDWriteFactory);
  EXPECT_FALSE(app.m_pRenderTarget);
  EXPECT_FALSE(app.m_pBokasiBitmap);
  EXPECT_FALSE(app.m_pDefaultCaption);
  EXPECT_FALSE(app.m_pCoInit);
  EXPECT_TRUE(app.m_pIcon16);
  EXPECT_TRUE(app.m_pIcon48);
}

TEST_F(MyAppSetup, MissingCaptionResourceReportsFindResource) {
  CMyApp& app = renderer();
  // A window of another module: that module has no "DEFAULTCAPTION".
  HWND foreign = mts::makeRendererWindow(GetModuleHandleW(L"kernel32.dll"));
  ASSERT_NE(foreign, nullptr);
  ASSERT_EQ((HMODULE)GetWindowLongPtrW(foreign, GWLP_HINSTANCE), GetModuleHandleW(L"kernel32.dll"));
  wts::LogCapture log(L"MyAppSetup_caption.log");
  app.m_hWnd = foreign;
  IWICBitmapSourcePtr target;
  CMyException* thrown = nullptr;
  try {
    app.getDefaultCaptionBitmap(target);
  } catch (CMyException* e) {
    thrown = e;
  }
  app.m_hWnd = m_hWnd;
  DestroyWindow(foreign);
  ASSERT_NE(thrown, nullptr);
  EXPECT_STREQ(thrown->m_callName, L"FindResource()");
  EXPECT_EQ(thrown->m_code, (int)E_FAIL);
  EXPECT_EQ(thrown->m_level, 3);
  delete thrown;
  EXPECT_FALSE(target);
  EXPECT_TRUE(log.contains(L"ERROR getDefaultCaptionBitmap() : FindResource() : 0x80004005 : "));
  EXPECT_TRUE(log.contains(L"EXCEPTION : paint3() : FindResource()"));
}

TEST_F(MyAppSetup, IconOfAModuleWithoutIt) {
  CMyApp& app = renderer();
  HWND foreign = mts::makeRendererWindow(GetModuleHandleW(L"kernel32.dll"));
  ASSERT_NE(foreign, nullptr);
  app.m_hWnd = foreign;
  ID2D1BitmapPtr icon = app.m_pIcon16;
  CMyException* thrown = nullptr;
  try {
    app.getIcon(icon, 32);
  } catch (CMyException* e) {
    thrown = e;
  }
  app.m_hWnd = m_hWnd;
  DestroyWindow(foreign);
  ASSERT_NE(thrown, nullptr);
  EXPECT_STREQ(thrown->m_callName, L"LoadImage()");
  EXPECT_EQ(thrown->m_code, -1);
  delete thrown;
  EXPECT_FALSE(icon) << "the result holder is emptied first";
}

TEST_F(MyAppSetup, FailedSetupShowsTheBoxAndQuitsWithMinusOne) {
  // On a window of a module without icon 129 set-up stops at the icons; the
  // box is closed by a helper thread.
  HWND foreign = mts::makeRendererWindow(GetModuleHandleW(L"kernel32.dll"));
  ASSERT_NE(foreign, nullptr);
  wts::LogCapture log(L"MyAppSetup_box.log");
  CMyApp app;
  {
    wts::BoxCloser closer(L"tamsel : アプリケーション異常");
    app.create(foreign);
    EXPECT_TRUE(closer.seen());
    EXPECT_NE(closer.text().find(L"環境異常 : ファイル名:"), std::wstring::npos)
        << closer.text().c_str();
    EXPECT_NE(closer.text().find(L"\nLoadImage() RESULT:0xFFFFFFFF"), std::wstring::npos);
  }
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ((int)msg.wParam, -1);
  EXPECT_TRUE(log.contains(L"ERROR : "));
  EXPECT_TRUE(log.contains(L" : LoadImage() : 0xffffffff"));
  // what came before the failing step stays; the rest stays empty
  EXPECT_TRUE(app.m_pRenderTarget);
  EXPECT_TRUE(app.m_pBokasiBitmap);
  EXPECT_NE(app.m_hFont.get(), nullptr);
  EXPECT_FALSE(app.m_pIcon16);
  EXPECT_FALSE(app.m_pDefaultCaption);
  DestroyWindow(foreign);
}
