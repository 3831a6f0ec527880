// The renderer's frame: theme caption, icon choice and the frame recipe
// (clear, background, icon, shading, label).
#include <memory>
#include <string>

#include "C_HBITMAP.h"
#include "MyApp.h"
#include "MyAppDetail.h"
#include "MyAppLogic.h"
#include "tamsel.h"

namespace {
// The interface of a holder; an empty holder raises _com_error(E_POINTER).
template <class Holder>
auto interfaceOf(const Holder& holder) -> decltype(&*holder) {
  return &*holder;
}

ID2D1BitmapRenderTargetPtr compatibleTarget(const ID2D1DCRenderTargetPtr& parent, float cx,
                                            float cy, int line) {
  ID2D1BitmapRenderTargetPtr target;
  HRESULT hr = parent->CreateCompatibleRenderTarget(D2D1::SizeF(cx, cy), &target);
  if (FAILED(hr)) MYAPP_THROW(line, L"CreateCompatibleRenderTarget()", hr);
  return target;
}

const DWRITE_TEXT_RANGE FIRST_CHARACTER = {0, 1};

}  // namespace

// A lost device (a display-driver reset, a remote-desktop switch) is met by a
// new render target and one more try; a second loss in a row goes to the
// caller, and the next frame tries again.
void CMyApp::draw(HDC hdc, SIZE size, const STRUCT_DRAW_INFO* info) {
  if (m_fontStale || m_shadingStale) remakeStalePartsForFrame();
  try {
    getThemeProps(info->hTheme);
    selectIcon(m_pIconBitmap, size.cy);
    try {
      paint(hdc, size, info->imeOpen, info->label, info->buttonWidth, m_pCaption, info);
    } catch (CMyException* e) {
      if (e->m_code != (int)D2DERR_RECREATE_TARGET) throw;
      delete e;
      recreateTarget();
      selectIcon(m_pIconBitmap, size.cy);
      paint(hdc, size, info->imeOpen, info->label, info->buttonWidth, m_pCaption, info);
    }
  } catch (_com_error& e) {
    myapp::logDrawComError(e);
    PostQuitMessage(-1);
  }
}

// The caption image for a theme handle is taken only when the handle changes.
// It is made aside and taken over only when it and its size were had, so the
// image in use always belongs to m_hLastTheme.
void CMyApp::getThemeProps(HTHEME hTheme) {
  if (hTheme == m_hLastTheme) return;
  try {
    IWICBitmapSourcePtr caption;
    if (hTheme == NULL) {
      caption = m_pDefaultCaption;
    } else {
      std::unique_ptr<C_HBITMAP> themeBitmap(new C_HBITMAP(hTheme));
      IWICBitmapPtr wicBitmap;
      HRESULT hr = m_pWICFactory->CreateBitmapFromHBITMAP(
          themeBitmap->m_hBitmap, NULL, WICBitmapUsePremultipliedAlpha, &wicBitmap);
      if (FAILED(hr)) MYAPP_THROW(173, L"CreateBitmapFromHBITMAP()", -1);
      caption = static_cast<IWICBitmapSource*>(wicBitmap.GetInterfacePtr());
    }
    UINT width = 0, height = 0;
    if (FAILED(caption->GetSize(&width, &height))) MYAPP_THROW(177, L"GetSize()", -1);
    m_pCaption = caption;
    m_captionWidth = width;
    m_captionHeight = height;
    m_hLastTheme = hTheme;
  } catch (_com_error& e) {
    myapp::logThemeComError(e);
    MYAPP_THROW(184, L"_com_error", -1);
  }
}

void CMyApp::paint(HDC hdc, SIZE size, int imeOpen, const wchar_t* label, int buttonWidth,
                   IWICBitmapSourcePtr caption, const STRUCT_DRAW_INFO* info) {
  try {
    const int cx = size.cx, cy = size.cy;
    const float CX = (float)cx, CY = (float)cy;
    const UINT w = m_captionWidth, h2 = m_captionHeight / 2;

    // Background: the recoloured caption fitted to the indicator.
    ID2D1BitmapRenderTargetPtr captionTarget =
        compatibleTarget(m_pRenderTarget, (float)w, (float)h2, 261);
    ID2D1BitmapPtr captionBitmap;
    getCaptionBitmap(captionTarget, w, h2, imeOpen, caption, captionBitmap);
    ID2D1BitmapRenderTargetPtr backgroundTarget = compatibleTarget(m_pRenderTarget, CX, CY, 283);
    if (myapp::useSlicedBackground(info->dMode, info->screenMode)) {
      drawBackgroundSliced(backgroundTarget, captionBitmap, cx, cy, (int)(w / 3));
    } else {
      drawBackgroundStretched(backgroundTarget, captionBitmap, cx, cy, w, h2);
    }
    ID2D1BitmapPtr backgroundBitmap;
    HRESULT hr = backgroundTarget->GetBitmap(&backgroundBitmap);
    if (FAILED(hr)) MYAPP_THROW(299, L"GetBitmap()", hr);

    const RECT bounds = {0, 0, cx, cy};
    hr = m_pRenderTarget->BindDC(hdc, &bounds);
    if (FAILED(hr)) MYAPP_THROW(302, L"BindDC()", hr);

    // The label's font, format and layout.
    IDWriteFontPtr font;
    std::wstring familyName;
    float fs = 0, pt = 0;
    getFontInfo(m_hFont.get(), hdc, font, familyName, &fs, &pt);
    DWRITE_FONT_METRICS metrics;
    font->GetMetrics(&metrics);
    const float lift =
        myapp::textLift(metrics.ascent, metrics.capHeight, pt, metrics.designUnitsPerEm);
    const DWRITE_FONT_STRETCH stretch = font->GetStretch();
    const DWRITE_FONT_STYLE style = font->GetStyle();
    const DWRITE_FONT_WEIGHT weight = font->GetWeight();

    IDWriteTextFormatPtr format;
    hr = m_pDWriteFactory->CreateTextFormat(familyName.c_str(), NULL, weight, style, stretch, fs,
                                            L"ja-jp", &format);
    if (FAILED(hr)) MYAPP_THROW(334, L"CreateTextFormat()", hr);
    hr = format->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_CENTER);
    if (FAILED(hr)) MYAPP_THROW(337, L"SetTextAlignment()", hr);
    const int n = lstrlenW(label);
    IDWriteTextLayoutPtr layout;
    hr = m_pDWriteFactory->CreateTextLayout(label, n, format, n * fs, fs, &layout);
    if (FAILED(hr)) MYAPP_THROW(350, L"CreateTextLayout()", hr);
    if (m_logFont.lfUnderline) {
      hr = layout->SetUnderline(TRUE, FIRST_CHARACTER);
      if (FAILED(hr)) MYAPP_THROW(362, L"SetUnderline()", hr);
    }
    if (m_logFont.lfStrikeOut) {
      hr = layout->SetStrikethrough(TRUE, FIRST_CHARACTER);
      if (FAILED(hr)) MYAPP_THROW(368, L"SetStrikethrough()", hr);
    }
    ID2D1SolidColorBrushPtr brush;
    hr = m_pRenderTarget->CreateSolidColorBrush(myapp::colorFromRef(m_fontColor), &brush);
    if (FAILED(hr)) MYAPP_THROW(380, L"CreateSolidColorBrush()", hr);

    const myapp::FrameGeometry g =
        myapp::frameGeometry(info->dMode, cx, cy, buttonWidth, n, fs, m_horizontalPos);
    const float shadeOpacity = (float)m_bokasiOpacity / 100;

    // The frame: clear, background, icon, shading, label.
    DrawScope<ID2D1DCRenderTargetPtr> scope(m_pRenderTarget);
    // the identity even after a frame abandoned in its label
    m_pRenderTarget->SetTransform(D2D1::Matrix3x2F::Identity());
    m_pRenderTarget->Clear(myapp::colorFromRef(INDICATOR_KEY, 0.0f));
    m_pRenderTarget->DrawBitmap(backgroundBitmap, D2D1::RectF(0, 0, CX, CY));
    if (m_iconShow) m_pRenderTarget->DrawBitmap(interfaceOf(m_pIconBitmap), g.iconRect);
    if (m_indShow) {
      drawBokasi(g.shadeCenter, g.shadeWidth, g.shadeHeight, 12.0f, shadeOpacity);
      m_pRenderTarget->SetTransform(D2D1::Matrix3x2F::Translation(0, -lift));
      m_pRenderTarget->DrawTextLayout(g.textOrigin, layout, brush, D2D1_DRAW_TEXT_OPTIONS_NONE);
      m_pRenderTarget->SetTransform(D2D1::Matrix3x2F::Identity());
    }
    hr = scope.end();
    if (m_simulatedDeviceLosses > 0) {
      --m_simulatedDeviceLosses;
      hr = D2DERR_RECREATE_TARGET;
    }
    if (FAILED(hr)) MYAPP_THROW(619, L"EndDraw()", hr);
  } catch (CMyException* e) {
    if (m_frameFailure.failed(myapp::failureKey(e))) {
      dbgPrintInfo(L"EXCEPTION paint() : %s\n", e->m_callName);
    }
    throw;
  } catch (_com_error& e) {
    if (m_frameFailure.failed(std::wstring(L"_com_error ") + e.ErrorMessage())) {
      myapp::logPaintComError(e);
    }
    return;
  }
  ++m_framesPainted;
  if (m_frameFailure.succeeded()) {
    DBG_LOG(LOG_INFO, L"paint() : frames drawn again after %s", m_frameFailure.key().c_str());
  }
}
