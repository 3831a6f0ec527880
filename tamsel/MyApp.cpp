// The renderer: object, set-up and release (placeholder while the renderer is written).
#include "MyApp.h"

const D2D1_PIXEL_FORMAT g_pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED};
const D2D1_RENDER_TARGET_PROPERTIES g_renderTargetProps = {
    D2D1_RENDER_TARGET_TYPE_DEFAULT, g_pixelFormat, 0.0f, 0.0f, D2D1_RENDER_TARGET_USAGE_NONE,
    D2D1_FEATURE_LEVEL_DEFAULT};

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
      m_iconShow(1) {}
CMyApp::~CMyApp() {}
void CMyApp::create(HWND hWnd) { m_hWnd = hWnd; }
void CMyApp::initD2D() {}
void CMyApp::onUpdate(const CMySerialize*) {}
void CMyApp::releaseAll() {}
void CMyApp::getDefaultCaptionBitmap(IWICBitmapSourcePtr&) {}
void CMyApp::getIcon(ID2D1BitmapPtr&, int) {}
void CMyApp::selectIcon(ID2D1BitmapPtr&, int) {}
void CMyApp::getBrushBitmap(COLORREF, ID2D1BitmapPtr&) {}
void CMyApp::draw(HDC, SIZE, const STRUCT_DRAW_INFO*) {}
void CMyApp::getThemeProps(HTHEME) {}
void CMyApp::paint(HDC, SIZE, int, const wchar_t*, int, IWICBitmapSourcePtr,
                   const STRUCT_DRAW_INFO*) {}
void CMyApp::getCaptionBitmap(ID2D1RenderTarget*, UINT, UINT, int, IWICBitmapSource*,
                              ID2D1BitmapPtr&) {}
void CMyApp::drawBackgroundSliced(ID2D1BitmapRenderTarget*, ID2D1Bitmap*, int, int, int) {}
void CMyApp::drawBackgroundStretched(ID2D1BitmapRenderTarget*, ID2D1Bitmap*, int, int, UINT, UINT) {
}
void CMyApp::getFontInfo(HFONT, HDC, IDWriteFontPtr&, wchar_t**, float*, float*) {}
void CMyApp::drawBokasi(D2D1_POINT_2F, float, float, float, float) {}
