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
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : EXCEPTION : paint3() : %s\n", DBG_FILE, __LINE__,
             L"ERROR", e.ErrorMessage());
    THROW_MY_EXCEPTION(3, L"_com_error", last);
  }
}

namespace {
// Destroys a loaded icon on every path; the normal path logs a failing DestroyIcon.
class IconOwner {
 public:
  explicit IconOwner(HICON icon) : m_icon(icon) {}
  ~IconOwner() {
    if (m_icon != NULL) DestroyIcon(m_icon);
  }
  IconOwner(const IconOwner&) = delete;
  IconOwner& operator=(const IconOwner&) = delete;
  void destroy() {
    if (!DestroyIcon(m_icon)) {
      dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : DestroyIcon() : %x\n", DBG_FILE, __LINE__, L"ERROR",
               (unsigned)GetLastError());
    }
    m_icon = NULL;
  }

 private:
  HICON m_icon;
};
}  // namespace

void CMyApp::getIcon(ID2D1BitmapPtr& result, int height) {
  resetHolder(result);
  try {
    const HINSTANCE instance = windowInstance(m_hWnd);
    if (instance == NULL) THROW_MY_EXCEPTION(3, L"GetWindowLongPtr()", -1);
    const int iconSize = myapp::iconSizeForHeight(height);
    HICON icon = (HICON)LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, iconSize,
                                   iconSize, LR_DEFAULTCOLOR);
    if (icon == NULL) THROW_MY_EXCEPTION(3, L"LoadImage()", -1);
    IconOwner owner(icon);

    IWICBitmapPtr wicBitmap;
    HRESULT hr = m_pWICFactory->CreateBitmapFromHICON(icon, &wicBitmap);
    if (FAILED(hr)) {
      dbgPrint(LOG_ERROR,
               L"%-24s(%5d) %-8s : getIcon() : CreateBitmapFromHICON() : res : 0x%0.8x, iconSize "
               L": %d, _height : %d\n",
               DBG_FILE, __LINE__, L"ERROR", (unsigned)hr, iconSize, height);
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
    owner.destroy();
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
  const D2D1_SIZE_F size = {BOKASI_CX, BOKASI_CY};
  HRESULT hr = parent->CreateCompatibleRenderTarget(
      &size, NULL, NULL, D2D1_COMPATIBLE_RENDER_TARGET_OPTIONS_NONE, &target);
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
  const D2D1_SIZE_U size = {w, h};
  const D2D1_BITMAP_PROPERTIES props = {g_pixelFormat, 96.0f, 96.0f};
  HRESULT hr = target->CreateBitmap(size, NULL, 0, &props, &bitmap);
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
  const D2D1_POINT_2U origin = {0, 0};
  const D2D1_RECT_U rect = {0, 0, w, h};
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
  const D2D1_COLOR_F c = myapp::colorFromRef(color);
  const D2D1_GRADIENT_STOP discStops[] = {
      {0.0f, {c.r, c.g, c.b, 0.95f}}, {0.4f, {c.r, c.g, c.b, 0.9f}}, {1.0f, {c.r, c.g, c.b, 0.1f}}};
  const D2D1_GRADIENT_STOP bandStops[] = {{0.0f, {c.r, c.g, c.b, 0.1f}},
                                          {0.275f, {c.r, c.g, c.b, 0.9f}},
                                          {0.5f, {c.r, c.g, c.b, 0.95f}},
                                          {0.725f, {c.r, c.g, c.b, 0.9f}},
                                          {1.0f, {c.r, c.g, c.b, 0.1f}}};

  ID2D1GradientStopCollectionPtr discCollection = stopCollection(b, discStops, 3);
  ID2D1RadialGradientBrushPtr discBrush;
  const D2D1_RADIAL_GRADIENT_BRUSH_PROPERTIES discProps = {
      {12.0f, 12.0f}, {0.0f, 0.0f}, 12.0f, 12.0f};
  HRESULT hr = a->CreateRadialGradientBrush(&discProps, NULL, discCollection, &discBrush);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateRadialGradientBrush()", hr);

  ID2D1GradientStopCollectionPtr bandCollection = stopCollection(a, bandStops, 5);
  ID2D1LinearGradientBrushPtr bandBrush;
  const D2D1_LINEAR_GRADIENT_BRUSH_PROPERTIES bandProps = {{6.0f, 0.0f}, {6.0f, 24.0f}};
  hr = a->CreateLinearGradientBrush(&bandProps, NULL, bandCollection, &bandBrush);
  if (FAILED(hr)) THROW_MY_EXCEPTION(3, L"CreateLinearGradientBrush()", hr);

  {  // the disc on B
    DrawScope<ID2D1BitmapRenderTargetPtr> scope(b);
    const D2D1_ELLIPSE disc = {{12.0f, 12.0f}, 12.0f, 12.0f};
    b->FillEllipse(&disc, discBrush);
    endDraw(scope);
  }
  ID2D1BitmapPtr discBitmap = shadingBitmap(b, 24, 24);
  copyTargetPixels(discBitmap, b, 24, 24);

  {  // the disc halves as caps and the band between them on A
    DrawScope<ID2D1BitmapRenderTargetPtr> scope(a);
    const D2D1_RECT_F leftDst = {0, 0, 12, 24}, leftSrc = {0, 0, 12, 24};
    const D2D1_RECT_F rightDst = {24, 0, 36, 24}, rightSrc = {12, 0, 24, 24};
    const D2D1_RECT_F band = {12, 0, 24, 24};
    a->DrawBitmap(discBitmap, &leftDst, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, &leftSrc);
    a->DrawBitmap(discBitmap, &rightDst, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, &rightSrc);
    a->FillRectangle(&band, bandBrush);
    endDraw(scope);
  }
  ID2D1BitmapPtr result = shadingBitmap(a, 36, 24);
  copyTargetPixels(result, a, 36, 24);
  target = result;
}
