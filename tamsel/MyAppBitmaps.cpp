// The renderer's lasting bitmaps: the built-in caption picture, the program
// icon in four sizes and the shading bitmap.

#include "MyApp.h"
#include "MyAppDetail.h"
#include "MyAppLogic.h"
#include "resource.h"

// The instance of the indicator window: the program's own module.
static HINSTANCE windowInstance(HWND hWnd) {
  return (HINSTANCE)GetWindowLongPtrW(hWnd, GWLP_HINSTANCE);
}

// Throws the resource step's exception after recording E_FAIL as its result.
static void throwResourceStep(HRESULT* last, const wchar_t* callName, int line) {
  *last = E_FAIL;
  throw new CMyException(SRC_PATHW, line, 3, callName, (int)E_FAIL);
}

static void logFindResourceFailure(DWORD error) {
  wchar_t text[1024];
  text[0] = L'\0';
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0x0400,
                 text, 1024, NULL);
  dbgPrintInfo(L"ERROR getDefaultCaptionBitmap() : FindResource() : 0x%0.8x : %s\n",
               (unsigned)E_FAIL, text);
}

void CMyApp::getDefaultCaptionBitmap(IWICBitmapSourcePtr& target) {
  HRESULT last = S_OK;  // the result of the last step, for the _com_error handler
  try {
    const HINSTANCE module = windowInstance(m_hWnd);
    HRSRC resource = FindResourceW(module, L"DEFAULTCAPTION", L"Image");
    const DWORD error = GetLastError();
    if (resource == NULL) {
      logFindResourceFailure(error);
      throwResourceStep(&last, L"FindResource()", __LINE__);
    }
    last = S_OK;
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == NULL) throwResourceStep(&last, L"LoadResource()", __LINE__);
    void* bytes = LockResource(loaded);
    if (bytes == NULL) throwResourceStep(&last, L"LockResource()", __LINE__);
    const DWORD size = SizeofResource(module, resource);
    if (size == 0) throwResourceStep(&last, L"SizeofResource()", __LINE__);

    IWICStreamPtr stream;
    last = m_pWICFactory->CreateStream(&stream);
    if (FAILED(last)) THROW_MY_EXCEPTION(3, L"CreateStream()", last);
    last = stream->InitializeFromMemory(static_cast<BYTE*>(bytes), size);
    if (FAILED(last)) THROW_MY_EXCEPTION(3, L"InitializeFromMemory()", last);
    IWICBitmapDecoderPtr decoder;
    last = m_pWICFactory->CreateDecoderFromStream(stream, NULL, WICDecodeMetadataCacheOnLoad,
                                                  &decoder);
    if (FAILED(last)) THROW_MY_EXCEPTION(3, L"CreateDecoderFromStream()", last);
    IWICBitmapFrameDecodePtr frame;
    last = decoder->GetFrame(0, &frame);
    if (FAILED(last)) THROW_MY_EXCEPTION(3, L"GetFrame()", last);
    IWICFormatConverterPtr converter;
    last = m_pWICFactory->CreateFormatConverter(&converter);
    if (FAILED(last)) THROW_MY_EXCEPTION(3, L"CreateFormatConverter()", last);
    last = converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                 NULL, 0.0, WICBitmapPaletteTypeMedianCut);
    if (FAILED(last)) THROW_MY_EXCEPTION(3, L"Initialize()", last);
    IWICBitmapPtr bitmap;
    last = m_pWICFactory->CreateBitmapFromSource(converter, WICBitmapCacheOnLoad, &bitmap);
    if (FAILED(last)) THROW_MY_EXCEPTION(3, L"CreateBitmapFromSource()", last);
    target = static_cast<IWICBitmapSource*>(bitmap.GetInterfacePtr());
  } catch (CMyException* e) {
    dbgPrintInfo(L"EXCEPTION : paint3() : %s\n", e->m_callName);
    throw;
  } catch (_com_error& e) {
    DBG_LOG(LOG_ERROR, L"EXCEPTION : paint3() : %s", e.ErrorMessage());
    THROW_MY_EXCEPTION(3, L"_com_error", last);
  }
}

void CMyApp::getIcon(ID2D1BitmapPtr& result, int height) {
  resetHolder(result);
  try {
    const HINSTANCE instance = windowInstance(m_hWnd);
    if (instance == NULL) THROW_MY_EXCEPTION(3, L"GetWindowLongPtr()", -1);
    const int iconSize = myapp::iconSizeForHeight(height);
    UniqueHICON icon((HICON)LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, iconSize,
                                       iconSize, LR_DEFAULTCOLOR));
    if (!icon) THROW_MY_EXCEPTION(3, L"LoadImage()", -1);

    IWICBitmapPtr wicBitmap;
    HRESULT hr = m_pWICFactory->CreateBitmapFromHICON(icon.get(), &wicBitmap);
    if (FAILED(hr)) {
      DBG_LOG(LOG_ERROR,
              L"getIcon() : CreateBitmapFromHICON() : res : 0x%0.8x, iconSize : %d, _height : %d",
              (unsigned)hr, iconSize, height);
      THROW_MY_EXCEPTION(3, L"CreateBitmapFromHICON()", -1);
    }
    IWICFormatConverterPtr converter;
    hr = m_pWICFactory->CreateFormatConverter(&converter);
    if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateFormatConverter()", -1);
    hr = converter->Initialize(wicBitmap, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                               NULL, 0.0, WICBitmapPaletteTypeMedianCut);
    if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"Initialize()", -1);
    ID2D1BitmapPtr bitmap;
    hr = m_pRenderTarget->CreateBitmapFromWicBitmap(converter, NULL, &bitmap);
    if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateBitmapFromWicBitmap()", -1);
    // the normal path logs a failing DestroyIcon; the others let the owner destroy it
    if (!DestroyIcon(icon.release())) DBG_LOG_LASTERR(LOG_ERROR, L"DestroyIcon()");
    result = bitmap;
  } catch (CMyException* e) {
    dbgPrintInfo(L"EXCEPTION : getIcon() : %s\n", e->m_callName);
    throw;
  }
}

void CMyApp::selectIcon(ID2D1BitmapPtr& result, int height) {
  resetHolder(result);
  switch (myapp::iconSizeForHeight(height)) {
    case 16:
      result = m_pIcon16;
      break;
    case 24:
      result = m_pIcon24;
      break;
    case 32:
      result = m_pIcon32;
      break;
    default:
      result = m_pIcon48;
      break;
  }
}

namespace {
const float BOKASI_CX = 36.0f, BOKASI_CY = 24.0f;

// A transparent compatible target of the shading bitmap's size.
ID2D1BitmapRenderTargetPtr shadingTarget(const ID2D1DCRenderTargetPtr& parent) {
  ID2D1BitmapRenderTargetPtr target;
  HRESULT hr = parent->CreateCompatibleRenderTarget(D2D1::SizeF(BOKASI_CX, BOKASI_CY), &target);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateCompatibleRenderTarget()", hr);
  return target;
}

ID2D1GradientStopCollectionPtr stopCollection(const ID2D1BitmapRenderTargetPtr& target,
                                              const D2D1_GRADIENT_STOP* stops, UINT count) {
  ID2D1GradientStopCollectionPtr collection;
  HRESULT hr = target->CreateGradientStopCollection(stops, count, D2D1_GAMMA_2_2,
                                                    D2D1_EXTEND_MODE_CLAMP, &collection);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateGradientStopCollection()", hr);
  return collection;
}

// A bitmap of the shading format, w x h pixels at 96 DPI, made on the target.
ID2D1BitmapPtr shadingBitmap(const ID2D1BitmapRenderTargetPtr& target, UINT w, UINT h) {
  ID2D1BitmapPtr bitmap;
  HRESULT hr = target->CreateBitmap(D2D1::SizeU(w, h), NULL, 0,
                                    D2D1::BitmapProperties(g_pixelFormat), &bitmap);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateBitmap()", hr);
  return bitmap;
}

// Copies the pixels a target has drawn into a bitmap, from the target's own
// bitmap (the render-target copy is not available everywhere; this is the same copy).
void copyTargetPixels(const ID2D1BitmapPtr& dst, const ID2D1BitmapRenderTargetPtr& src, UINT w,
                      UINT h) {
  ID2D1BitmapPtr drawn;
  HRESULT hr = src->GetBitmap(&drawn);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"GetBitmap()", hr);
  const D2D1_POINT_2U origin = D2D1::Point2U(0, 0);
  const D2D1_RECT_U rect = D2D1::RectU(0, 0, w, h);
  hr = dst->CopyFromBitmap(&origin, drawn, &rect);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CopyFromBitmap()", hr);
}

void endDraw(DrawScope<ID2D1BitmapRenderTargetPtr>& scope) {
  HRESULT hr = scope.end();
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"EndDraw()", hr);
}
}  // namespace

// The shading bitmap: a soft disc split into two caps with a vertical band
// between them, all in the shading colour. The target is filled only when the
// whole bitmap was made.
void CMyApp::getBrushBitmap(COLORREF color, ID2D1BitmapPtr& target) {
  ID2D1BitmapRenderTargetPtr a = shadingTarget(m_pRenderTarget);
  ID2D1BitmapRenderTargetPtr b = shadingTarget(m_pRenderTarget);
  auto stop = [color](float position, float alpha) {
    return D2D1::GradientStop(position, myapp::colorFromRef(color, alpha));
  };
  const D2D1_GRADIENT_STOP discStops[] = {stop(0.0f, 0.95f), stop(0.4f, 0.9f), stop(1.0f, 0.1f)};
  const D2D1_GRADIENT_STOP bandStops[] = {stop(0.0f, 0.1f), stop(0.275f, 0.9f), stop(0.5f, 0.95f),
                                          stop(0.725f, 0.9f), stop(1.0f, 0.1f)};

  ID2D1GradientStopCollectionPtr discCollection = stopCollection(b, discStops, 3);
  ID2D1RadialGradientBrushPtr discBrush;
  HRESULT hr =
      a->CreateRadialGradientBrush(D2D1::RadialGradientBrushProperties(
                                       D2D1::Point2F(12.0f, 12.0f), D2D1::Point2F(), 12.0f, 12.0f),
                                   discCollection, &discBrush);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateRadialGradientBrush()", hr);

  ID2D1GradientStopCollectionPtr bandCollection = stopCollection(a, bandStops, 5);
  ID2D1LinearGradientBrushPtr bandBrush;
  hr = a->CreateLinearGradientBrush(
      D2D1::LinearGradientBrushProperties(D2D1::Point2F(6.0f, 0.0f), D2D1::Point2F(6.0f, 24.0f)),
      bandCollection, &bandBrush);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateLinearGradientBrush()", hr);

  {  // the disc on B
    DrawScope<ID2D1BitmapRenderTargetPtr> scope(b);
    b->FillEllipse(D2D1::Ellipse(D2D1::Point2F(12.0f, 12.0f), 12.0f, 12.0f), discBrush);
    endDraw(scope);
  }
  ID2D1BitmapPtr discBitmap = shadingBitmap(b, 24, 24);
  copyTargetPixels(discBitmap, b, 24, 24);

  {  // the disc halves as caps and the band between them on A
    DrawScope<ID2D1BitmapRenderTargetPtr> scope(a);
    const D2D1_BITMAP_INTERPOLATION_MODE linear = D2D1_BITMAP_INTERPOLATION_MODE_LINEAR;
    a->DrawBitmap(discBitmap, D2D1::RectF(0, 0, 12, 24), 1.0f, linear, D2D1::RectF(0, 0, 12, 24));
    a->DrawBitmap(discBitmap, D2D1::RectF(24, 0, 36, 24), 1.0f, linear, D2D1::RectF(12, 0, 24, 24));
    a->FillRectangle(D2D1::RectF(12, 0, 24, 24), bandBrush);
    endDraw(scope);
  }
  ID2D1BitmapPtr result = shadingBitmap(a, 36, 24);
  copyTargetPixels(result, a, 36, 24);
  target = result;
}
