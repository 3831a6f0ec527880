// The renderer: the object itself, its set-up on the main window, the taking
// over of new settings and the release of everything it made.
#include "MyApp.h"

#include <memory>
#include <string>

#include "MyAppDetail.h"
#include "MyAppLogic.h"
#include "tamsel.h"

const D2D1_PIXEL_FORMAT g_pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED};
const D2D1_RENDER_TARGET_PROPERTIES g_renderTargetProps = {
    D2D1_RENDER_TARGET_TYPE_DEFAULT, g_pixelFormat, 0.0f, 0.0f, D2D1_RENDER_TARGET_USAGE_NONE,
    D2D1_FEATURE_LEVEL_DEFAULT};

// The first WIC imaging factory (the one every Windows version has).
static const CLSID CLSID_WicFactoryFirst = {
    0xCACAF262, 0x9370, 0x4615, {0xA1, 0x3B, 0x9F, 0x55, 0x39, 0xDA, 0x4C, 0x0A}};

const wchar_t* myAppSourcePath() { return SRC_PATHW; }

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
      m_hFont(NULL),
      m_logFont(),
      m_hLastTheme((HTHEME)(LONG_PTR)-1),
      m_horizontalPos(80.0f),
      m_indShow(1),
      m_iconShow(1) {
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

    m_hFont = CreateFontIndirectW(&m_logFont);
    if (m_hFont == NULL) MYAPP_THROW(__LINE__, L"CreateFontIndirect()", -1);

    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : CreateDCRenderTarget() in\n", MYAPP_FILE, __LINE__,
             L"INFO");
    resetHolder(m_pRenderTarget);
    HRESULT hr = m_pD2DFactory->CreateDCRenderTarget(&g_renderTargetProps, &m_pRenderTarget);
    if (FAILED(hr)) MYAPP_THROW(__LINE__, L"CreateDCRenderTarget()", -1);
    dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : CreateDCRenderTarget() out\n", MYAPP_FILE, __LINE__,
             L"INFO");

    resetHolder(m_pBokasiBitmap);
    getBrushBitmap(m_bokasiColor, m_pBokasiBitmap);
    loadIcons();
    resetHolder(m_pDefaultCaption);
    getDefaultCaptionBitmap(m_pDefaultCaption);
  } catch (CMyException* e) {
    reportSetupFailure(e);
    PostQuitMessage(-1);
  } catch (_com_error& e) {
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : _com_error [%x]\n", MYAPP_FILE, __LINE__, L"ERROR",
             (unsigned)e.WCode());
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
  dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : %s : %s(%d) : %s : 0x%0.8x\n", MYAPP_FILE, __LINE__,
           L"ERROR", e->levelWord(), e->m_fileName, e->m_line, e->m_callName, e->m_code);
  const std::wstring text =
      myapp::setupErrorText(e->m_fileName, e->m_line, e->m_code, e->m_callName);
  MessageBoxW(m_hWnd, text.c_str(), L"tamsel : アプリケーション異常", MB_ICONERROR);
  delete e;
}

void CMyApp::initD2D() {
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : initD2D() start.\n", MYAPP_FILE, __LINE__, L"INFO");

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

  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : initD2D() end.\n", MYAPP_FILE, __LINE__, L"INFO");
}

// The new font and shading bitmap are made first and taken over only when both
// exist, so a failure leaves the renderer drawing with its old settings.
void CMyApp::onUpdate(const CMySerialize* settings) {
  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : onUpdate() : old:%d, new:%d\n", MYAPP_FILE, __LINE__,
           L"INFO", m_spnVal, settings->spnVal);

  HFONT font = CreateFontIndirectW(&settings->logFont);
  if (font == NULL) MYAPP_THROW(__LINE__, L"CreateFontIndirect()", -1);
  ID2D1BitmapPtr bokasi;
  try {
    getBrushBitmap(settings->bokasiColor, bokasi);
  } catch (CMyException* e) {
    DeleteObject(font);
    dbgPrintInfo(L"EXCEPTION : onUpdate() : %s\n", e->m_callName);
    throw;
  } catch (_com_error& e) {
    DeleteObject(font);
    dbgPrint(LOG_ERROR, L"%-24s(%5d) %-8s : onUpdate() : _com_error %s\n", MYAPP_FILE, __LINE__,
             L"ERROR", e.ErrorMessage());
    MYAPP_THROW(__LINE__, L"_com_error", e.Error());
  }

  copySettings(*settings);
  if (m_hFont != NULL) DeleteObject(m_hFont);
  m_hFont = font;
  m_pBokasiBitmap = bokasi;

  dbgPrint(LOG_INFO, L"%-24s(%5d) %-8s : onUpdate() : Italic:%d, Under:%d, Strike:%d\n", MYAPP_FILE,
           __LINE__, L"INFO", m_logFont.lfItalic, m_logFont.lfUnderline, m_logFont.lfStrikeOut);
}

void CMyApp::releaseAll() {
  if (m_hFont != NULL) {
    DeleteObject(m_hFont);
    m_hFont = NULL;
  }
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
  std::unique_ptr<C_CoInitialize> coInit(m_pCoInit.release());
  coInit.reset();
}
