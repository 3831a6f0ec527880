// The renderer: the object itself, its set-up on the main window, the taking
// over of new settings and the release of everything it made.
#include "MyApp.h"

#include <memory>
#include <string>

#include "MyAppDetail.h"
#include "MyAppLogic.h"
#include "tamsel.h"

const D2D1_PIXEL_FORMAT g_pixelFormat =
    D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED);
const D2D1_RENDER_TARGET_PROPERTIES g_renderTargetProps =
    D2D1::RenderTargetProperties(D2D1_RENDER_TARGET_TYPE_DEFAULT, g_pixelFormat);

// The first WIC imaging factory (the one every Windows version has).
static const CLSID CLSID_WicFactoryFirst = {
    0xCACAF262, 0x9370, 0x4615, {0xA1, 0x3B, 0x9F, 0x55, 0x39, 0xDA, 0x4C, 0x0A}};

const wchar_t* myAppSourcePath() { return SRC_PATHW; }

namespace myapp {
void logDrawComError(const _com_error& e) {
  DBG_LOG_AT(LOG_ERROR, 225, L"_com_error [%s]", e.ErrorMessage());
}
void logThemeComError(const _com_error& e) {
  DBG_LOG_AT(LOG_ERROR, 183, L"getThemeProps() : [%s]", e.ErrorMessage());
}
void logPaintComError(const _com_error& e) {
  DBG_LOG_AT(LOG_ERROR, 635, L"EXCEPTION paint() : _com_error %s", e.ErrorMessage());
}
}  // namespace myapp

CMyApp::CMyApp()
    : m_hWnd(NULL),
      m_effect(0),
      m_spnVal(100),
      m_captionWidth(0),
      m_captionHeight(0),
      m_fontColor(0xFFFFFF),
      m_bokasiColor(0x000000),
      m_bokasiOpacity(80),
      m_imeColorOn(0xCC3355),
      m_imeColorOff(0x5533CC),
      m_logFont(),
      m_hLastTheme((HTHEME)(LONG_PTR)-1),
      m_horizontalPos(80.0f),
      m_indShow(1),
      m_iconShow(1),
      m_settingsGeneration(0),
      m_framesPainted(0),
      m_simulatedDeviceLosses(0),
      m_fontStale(false),
      m_shadingStale(false) {
  ZeroMemory(&m_logFont, sizeof(m_logFont));
}

CMyApp::~CMyApp() {
  releaseAll();
  resetHolder(m_pIcon48);
  resetHolder(m_pIcon32);
  resetHolder(m_pIcon24);
  resetHolder(m_pIcon16);
}

void CMyApp::copySettings(const CMySerialize& settings) {
  m_effect = settings.effect;
  m_spnVal = settings.spnVal;
  m_fontColor = settings.fontColor;
  m_bokasiColor = settings.bokasiColor;
  m_bokasiOpacity = settings.bokasiOpacity;
  m_imeColorOn = settings.imeColorOn;
  m_imeColorOff = settings.imeColorOff;
  m_logFont = settings.logFont;
  m_horizontalPos = settings.horizontalPos;
  m_indShow = settings.indShow;
  m_iconShow = settings.iconShow;
}

void CMyApp::create(HWND hWnd) {
  m_hWnd = hWnd;
  try {
    initD2D();
    if (g_pSettings) copySettings(*g_pSettings);
    ++m_settingsGeneration;

    m_hFont = makeLabelFont(m_logFont);

    DBG_LOG(LOG_INFO, L"CreateDCRenderTarget() in");
    resetHolder(m_pRenderTarget);
    HRESULT hr = m_pD2DFactory->CreateDCRenderTarget(&g_renderTargetProps, &m_pRenderTarget);
    if (FAILED(hr)) MYAPP_THROW(__LINE__, L"CreateDCRenderTarget()", -1);
    DBG_LOG(LOG_INFO, L"CreateDCRenderTarget() out");

    resetHolder(m_pBokasiBitmap);
    getBrushBitmap(m_bokasiColor, m_pBokasiBitmap);
    loadIcons();
    resetHolder(m_pDefaultCaption);
    getDefaultCaptionBitmap(m_pDefaultCaption);
  } catch (CMyException* e) {
    reportSetupFailure(e);
    PostQuitMessage(-1);
  } catch (_com_error& e) {
    DBG_LOG(LOG_ERROR, L"_com_error [%x]", (unsigned)e.WCode());
    PostQuitMessage(-1);
  }
}

void CMyApp::loadIcons() {
  ID2D1BitmapPtr* const holders[] = {std::addressof(m_pIcon16), std::addressof(m_pIcon24),
                                     std::addressof(m_pIcon32), std::addressof(m_pIcon48)};
  const int sizes[] = {16, 24, 32, 48};
  for (int i = 0; i < 4; ++i) {
    ID2D1BitmapPtr icon;
    getIcon(icon, sizes[i] * 2);
    *holders[i] = icon;
  }
}

void CMyApp::reportSetupFailure(CMyException* e) {
  LOG_MY_EXCEPTION(e);
  const std::wstring text =
      myapp::setupErrorText(e->m_fileName, e->m_line, e->m_code, e->m_callName);
  MessageBoxW(m_hWnd, text.c_str(), L"tamsel : アプリケーション異常", MB_ICONERROR);
  delete e;
}

bool CMyApp::canMakeFace(const LOGFONTW& logFont, HRESULT* hr) {
  IDWriteGdiInteropPtr interop;
  *hr = m_pDWriteFactory->GetGdiInterop(&interop);
  if (FAILED(*hr)) return false;
  IDWriteFontPtr font;
  *hr = interop->CreateFontFromLOGFONT(&logFont, &font);
  return SUCCEEDED(*hr);
}

// A face DirectWrite cannot make (not installed, empty, blank) would fail every
// frame; it is replaced by the default face here, once per settings, with one line.
UniqueHFONT CMyApp::makeLabelFont(const LOGFONTW& settingsFont, bool warn) {
  const CMySerialize defaults;
  LOGFONTW logFont = myapp::usableLogFont(settingsFont, defaults.logFont.lfHeight);
  if (warn && logFont.lfHeight != settingsFont.lfHeight) {
    DBG_LOG(LOG_WARN, L"lfHeight %ld : used as %ld", settingsFont.lfHeight, logFont.lfHeight);
  }
  HRESULT hr = S_OK;
  if (!canMakeFace(logFont, &hr)) {
    if (warn) {
      DBG_LOG(LOG_WARN, L"CreateFontFromLOGFONT() : 0x%0.8x : face \"%s\" : default face \"%s\"",
              (unsigned)hr, logFont.lfFaceName, defaults.logFont.lfFaceName);
    }
    lstrcpynW(logFont.lfFaceName, defaults.logFont.lfFaceName, LF_FACESIZE);
  }
  UniqueHFONT font(CreateFontIndirectW(&logFont));
  if (!font) MYAPP_THROW(__LINE__, L"CreateFontIndirect()", -1);
  return font;
}

void CMyApp::initD2D() {
  DBG_LOG(LOG_INFO, L"initD2D() start.");

  resetHolder(m_pD2DFactory);
  HRESULT hr = D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, IID_ID2D1Factory, NULL,
                                 reinterpret_cast<void**>(&m_pD2DFactory));
  if (FAILED(hr)) MYAPP_THROW(__LINE__, L"D2D1CreateFactory()", hr);

  m_pCoInit.reset(new C_CoInitialize());

  resetHolder(m_pWICFactory);
  hr = CoCreateInstance(CLSID_WicFactoryFirst, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                        reinterpret_cast<void**>(&m_pWICFactory));
  if (FAILED(hr)) MYAPP_THROW(__LINE__, L"CoCreateInstance()", hr);

  resetHolder(m_pDWriteFactory);
  hr = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                           reinterpret_cast<IUnknown**>(&m_pDWriteFactory));
  if (FAILED(hr)) MYAPP_THROW(__LINE__, L"DWriteCreateFactory()", hr);

  DBG_LOG(LOG_INFO, L"initD2D() end.");
}

// Every new drawing setting is taken. The font and the shading bitmap that they
// need are made anew; a part that cannot be made keeps its old object and is
// made again by the next frame. The first failure goes to the caller.
void CMyApp::onUpdate(const CMySerialize* settings) {
  DBG_LOG(LOG_INFO, L"onUpdate() : old:%d, new:%d", m_spnVal, settings->spnVal);

  copySettings(*settings);
  ++m_settingsGeneration;
  m_fontStale = true;
  m_shadingStale = true;
  m_remakeFailure = FailureLatch();  // new settings, a new account of failures
  CMyException* failure = remakeStaleParts(L"onUpdate()", true);

  DBG_LOG(LOG_INFO, L"onUpdate() : Italic:%d, Under:%d, Strike:%d", m_logFont.lfItalic,
          m_logFont.lfUnderline, m_logFont.lfStrikeOut);
  if (failure != nullptr) throw failure;
}

namespace {
// A COM error of a part as the renderer's exception.
CMyException* comFailure(const _com_error& e, int line) {
  return new CMyException(myAppSourcePath(), line, 3, L"_com_error", (int)e.Error());
}

// Runs one part's making; its failure becomes *first, or is dropped after one.
template <class Make>
void tryPart(CMyException** first, Make make) {
  CMyException* failure = nullptr;
  try {
    make();
  } catch (CMyException* e) {
    failure = e;
  } catch (_com_error& e) {
    failure = comFailure(e, __LINE__);
  }
  if (failure == nullptr) return;
  if (*first == nullptr) {
    *first = failure;
  } else {
    delete failure;
  }
}
}  // namespace

CMyException* CMyApp::remakeStaleParts(const wchar_t* where, bool warn) {
  CMyException* first = nullptr;
  if (m_fontStale) {
    tryPart(&first, [&] {
      m_hFont = makeLabelFont(m_logFont, warn);
      m_fontStale = false;
    });
  }
  if (m_shadingStale) {
    tryPart(&first, [&] {
      ID2D1BitmapPtr bokasi;
      getBrushBitmap(m_bokasiColor, bokasi);
      m_pBokasiBitmap = bokasi;
      m_shadingStale = false;
    });
  }
  if (first != nullptr) {
    if (m_remakeFailure.failed(myapp::failureKey(first))) {
      dbgPrintInfo(L"EXCEPTION : %s : %s\n", where, first->m_callName);
    }
  } else if (m_remakeFailure.succeeded()) {
    DBG_LOG(LOG_INFO, L"%s : font and shading made after %s", where, m_remakeFailure.key().c_str());
  }
  return first;
}

// The next frame's try at the parts that the last settings left old: the frame
// draws with the old ones meanwhile.
void CMyApp::remakeStalePartsForFrame() { delete remakeStaleParts(L"draw()", false); }

// Everything made on the render target goes with it: the new target and its
// bitmaps are made aside and taken over only when all of them exist, so a
// failure leaves the old ones for the next frame to try again.
void CMyApp::recreateTarget() {
  ID2D1DCRenderTargetPtr oldTarget = m_pRenderTarget;
  ID2D1BitmapPtr oldBokasi = m_pBokasiBitmap;
  ID2D1BitmapPtr oldIcons[] = {m_pIcon16, m_pIcon24, m_pIcon32, m_pIcon48};
  auto restore = scope_exit([&] {
    m_pRenderTarget = oldTarget;
    m_pBokasiBitmap = oldBokasi;
    m_pIcon16 = oldIcons[0];
    m_pIcon24 = oldIcons[1];
    m_pIcon32 = oldIcons[2];
    m_pIcon48 = oldIcons[3];
  });
  resetHolder(m_pRenderTarget);
  HRESULT hr = m_pD2DFactory->CreateDCRenderTarget(&g_renderTargetProps, &m_pRenderTarget);
  if (FAILED(hr)) MYAPP_THROW(__LINE__, L"CreateDCRenderTarget()", hr);
  ID2D1BitmapPtr bokasi;
  getBrushBitmap(m_bokasiColor, bokasi);
  m_pBokasiBitmap = bokasi;
  loadIcons();
  resetHolder(m_pIconBitmap);
  restore.dismiss();
  m_shadingStale = false;  // made in the colour of the settings in force
  DBG_LOG(LOG_WARN, L"D2DERR_RECREATE_TARGET : render target made again");
}

void CMyApp::releaseAll() {
  m_hFont.reset();
  resetHolder(m_pIconBitmap);
  resetHolder(m_pDefaultCaption);
  resetHolder(m_pCaption);
  resetHolder(m_pBokasiBitmap);
  resetHolder(m_pRenderTarget);
  resetHolder(m_pDWriteFactory);
  resetHolder(m_pWICFactory);
  resetHolder(m_pD2DFactory);
  m_hLastTheme = (HTHEME)(LONG_PTR)-1;  // no caption image is held any more
  // COM ends last, after everything made through it.
  m_pCoInit.reset();
}
