// The renderer's passes inside a frame: the caption recoloured for the IME
// state, the background fitted to the indicator, the font bridge from GDI to
// DirectWrite and the shading layer.
#include <string>

#include "MyApp.h"
#include "MyAppDetail.h"
#include "MyAppLogic.h"

void CMyApp::getCaptionBitmap(ID2D1RenderTarget* captionTarget, UINT w, UINT h2, int imeOpen,
                              IWICBitmapSource* caption, ID2D1BitmapPtr& result) {
  IWICBitmapPtr copy;
  HRESULT hr = m_pWICFactory->CreateBitmapFromSource(caption, WICBitmapCacheOnLoad, &copy);
  if (FAILED(hr)) MYAPP_THROW(654, L"CreateBitmapFromSource()", hr);
  {
    const WICRect rect = {0, 0, (INT)w, (INT)h2};
    IWICBitmapLockPtr lock;
    hr = copy->Lock(&rect, WICBitmapLockWrite, &lock);
    if (FAILED(hr)) MYAPP_THROW(657, L"Lock()", hr);
    UINT size = 0;
    BYTE* data = NULL;
    hr = lock->GetDataPointer(&size, &data);
    if (FAILED(hr)) MYAPP_THROW(664, L"GetDataPointer()", hr);
    UINT stride = 0;
    hr = lock->GetStride(&stride);
    if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"GetStride()", hr);
    myapp::recolourCaption(data, size, stride, w, h2, imeOpen ? m_imeColorOn : m_imeColorOff,
                           m_effect, m_spnVal);
  }  // the lock ends before the copy is read again

  IWICFormatConverterPtr converter;
  hr = m_pWICFactory->CreateFormatConverter(&converter);
  if (FAILED(hr)) MYAPP_THROW(806, L"CreateFormatConverter()", hr);
  hr = converter->Initialize(copy, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, NULL,
                             0.0, WICBitmapPaletteTypeMedianCut);
  if (FAILED(hr)) MYAPP_THROW(810, L"Initialize()", hr);
  ID2D1BitmapPtr bitmap;
  hr = captionTarget->CreateBitmapFromWicBitmap(converter, NULL, &bitmap);
  if (FAILED(hr)) MYAPP_THROW(814, L"CreateBitmapFromWicBitmap()", hr);
  result = bitmap;
}

static void drawPasses(ID2D1BitmapRenderTarget* target, ID2D1Bitmap* bitmap,
                       const myapp::BitmapPass* passes, size_t count, int line) {
  DrawScope<ID2D1BitmapRenderTarget*> scope(target);
  for (size_t i = 0; i < count; ++i) {
    target->DrawBitmap(bitmap, &passes[i].dst, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR,
                       &passes[i].src);
  }
  HRESULT hr = scope.end();
  if (FAILED(hr)) MYAPP_THROW(line, L"EndDraw()", hr);
}

void CMyApp::drawBackgroundSliced(ID2D1BitmapRenderTarget* target, ID2D1Bitmap* bitmap, int cx,
                                  int cy, int s) {
  const std::array<myapp::BitmapPass, 3> passes = myapp::slicedPasses(cx, cy, s);
  drawPasses(target, bitmap, passes.data(), passes.size(), 875);
}

void CMyApp::drawBackgroundStretched(ID2D1BitmapRenderTarget* target, ID2D1Bitmap* bitmap, int cx,
                                     int cy, UINT w, UINT h2) {
  const myapp::BitmapPass pass = myapp::stretchedPass(cx, cy, w, h2);
  drawPasses(target, bitmap, &pass, 1, 907);
}

void CMyApp::getFontInfo(HFONT hFont, HDC hdc, IDWriteFontPtr& font, std::wstring& familyName,
                         float* sizeDip, float* sizePt) {
  IDWriteGdiInteropPtr interop;
  HRESULT hr = m_pDWriteFactory->GetGdiInterop(&interop);
  if (FAILED(hr)) MYAPP_THROW(922, L"GetGdiInterop()", hr);
  LOGFONTW logFont;
  ZeroMemory(&logFont, sizeof(logFont));
  GetObjectW(hFont, sizeof(logFont), &logFont);
  hr = interop->CreateFontFromLOGFONT(&logFont, &font);
  if (FAILED(hr)) MYAPP_THROW(930, L"CreateFontFromLOGFONT()", hr);
  IDWriteFontFamilyPtr family;
  hr = font->GetFontFamily(&family);
  if (FAILED(hr)) MYAPP_THROW(935, L"GetFontFamily()", hr);
  IDWriteLocalizedStringsPtr names;
  hr = family->GetFamilyNames(&names);
  if (FAILED(hr)) MYAPP_THROW(940, L"GetFamilyNames()", hr);
  UINT32 length = 0;
  hr = names->GetStringLength(0, &length);
  if (FAILED(hr)) MYAPP_THROW(948, L"GetStringLength()", hr);
  std::wstring name(length + 1, L'\0');
  hr = names->GetString(0, &name[0], length + 1);
  if (FAILED(hr)) MYAPP_THROW(957, L"GetString()", hr);
  name.resize(length);
  familyName = name;
  myapp::fontSizes(logFont.lfHeight, GetDeviceCaps(hdc, LOGPIXELSY), sizeDip, sizePt);
}

void CMyApp::drawBokasi(D2D1_POINT_2F center, float width, float height, float capWidth,
                        float opacity) {
  ID2D1Bitmap* const bitmap = &*m_pBokasiBitmap;  // an empty holder raises _com_error
  for (const myapp::BitmapPass& pass : myapp::bokasiPasses(center, width, height, capWidth)) {
    m_pRenderTarget->DrawBitmap(bitmap, &pass.dst, opacity,
                                D2D1_BITMAP_INTERPOLATION_MODE_NEAREST_NEIGHBOR, &pass.src);
  }
}
