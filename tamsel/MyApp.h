// The renderer: Direct2D, WIC and DirectWrite drawing of the indicator.
#pragma once
#include <windows.h>

#include <comdef.h>
#include <d2d1.h>
#include <dwrite.h>
#include <uxtheme.h>
#include <wincodec.h>

#include <memory>
#include <string>

#include "CMyException.h"
#include "C_CoInitialize.h"
#include "FailureLatch.h"
#include "MySerialize.h"
#include "UniqueAny.h"

// One reference-counting holder per interface; a call through an empty holder
// raises _com_error(E_POINTER).
_COM_SMARTPTR_TYPEDEF(ID2D1Factory, __uuidof(ID2D1Factory));
_COM_SMARTPTR_TYPEDEF(ID2D1DCRenderTarget, __uuidof(ID2D1DCRenderTarget));
_COM_SMARTPTR_TYPEDEF(ID2D1RenderTarget, __uuidof(ID2D1RenderTarget));
_COM_SMARTPTR_TYPEDEF(ID2D1BitmapRenderTarget, __uuidof(ID2D1BitmapRenderTarget));
_COM_SMARTPTR_TYPEDEF(ID2D1Bitmap, __uuidof(ID2D1Bitmap));
_COM_SMARTPTR_TYPEDEF(ID2D1SolidColorBrush, __uuidof(ID2D1SolidColorBrush));
_COM_SMARTPTR_TYPEDEF(ID2D1GradientStopCollection, __uuidof(ID2D1GradientStopCollection));
_COM_SMARTPTR_TYPEDEF(ID2D1LinearGradientBrush, __uuidof(ID2D1LinearGradientBrush));
_COM_SMARTPTR_TYPEDEF(ID2D1RadialGradientBrush, __uuidof(ID2D1RadialGradientBrush));
_COM_SMARTPTR_TYPEDEF(IWICImagingFactory, __uuidof(IWICImagingFactory));
_COM_SMARTPTR_TYPEDEF(IWICBitmapSource, __uuidof(IWICBitmapSource));
_COM_SMARTPTR_TYPEDEF(IWICBitmap, __uuidof(IWICBitmap));
_COM_SMARTPTR_TYPEDEF(IWICBitmapLock, __uuidof(IWICBitmapLock));
_COM_SMARTPTR_TYPEDEF(IWICStream, __uuidof(IWICStream));
_COM_SMARTPTR_TYPEDEF(IWICBitmapDecoder, __uuidof(IWICBitmapDecoder));
_COM_SMARTPTR_TYPEDEF(IWICBitmapFrameDecode, __uuidof(IWICBitmapFrameDecode));
_COM_SMARTPTR_TYPEDEF(IWICFormatConverter, __uuidof(IWICFormatConverter));
_COM_SMARTPTR_TYPEDEF(IDWriteFactory, __uuidof(IDWriteFactory));
_COM_SMARTPTR_TYPEDEF(IDWriteGdiInterop, __uuidof(IDWriteGdiInterop));
_COM_SMARTPTR_TYPEDEF(IDWriteFont, __uuidof(IDWriteFont));
_COM_SMARTPTR_TYPEDEF(IDWriteFontFamily, __uuidof(IDWriteFontFamily));
_COM_SMARTPTR_TYPEDEF(IDWriteLocalizedStrings, __uuidof(IDWriteLocalizedStrings));
_COM_SMARTPTR_TYPEDEF(IDWriteTextFormat, __uuidof(IDWriteTextFormat));
_COM_SMARTPTR_TYPEDEF(IDWriteTextLayout, __uuidof(IDWriteTextLayout));

// What the watcher hands to one frame.
struct STRUCT_DRAW_INFO {
  int imeOpen;
  const wchar_t* label;
  int buttonWidth;
  HTHEME hTheme;
  int dMode;
  int screenMode;  // 0 maximized, 1 minimized, 2 normal, fixed or no window
};

extern const D2D1_PIXEL_FORMAT g_pixelFormat;
extern const D2D1_RENDER_TARGET_PROPERTIES g_renderTargetProps;

class CMyApp {
 public:
  CMyApp();
  ~CMyApp();
  CMyApp(const CMyApp&) = delete;
  CMyApp& operator=(const CMyApp&) = delete;

  // Set-up and settings.
  void create(HWND hWnd);
  void initD2D();
  void onUpdate(const CMySerialize* settings);
  void releaseAll();
  // The eleven drawing settings, copied together in their order.
  void copySettings(const CMySerialize& settings);
  // The four icon holders, each from the band of twice its icon size.
  void loadIcons();
  // The failure box of set-up: log line, message box, the exception deleted.
  void reportSetupFailure(CMyException* e);
  // The GDI font of the label for a LOGFONT of the settings, held to a height that
  // works and, when DirectWrite cannot make its face, on the default face.
  // warn: log the height and face replacements (a retry for the same settings does not).
  UniqueHFONT makeLabelFont(const LOGFONTW& settingsFont, bool warn = true);
  // Whether DirectWrite can make a font of this LOGFONT; the failure's code in *hr.
  bool canMakeFace(const LOGFONTW& logFont, HRESULT* hr);
  // After a lost device: a new render target and the bitmaps made on it.
  void recreateTarget();
  // Makes the label font and the shading bitmap that are stale (the settings
  // changed, or an earlier try failed); a part that fails keeps its old object
  // and stays stale. Returns the first failure, owned by the caller; a failure
  // met again on every try is logged once, under `where`.
  CMyException* remakeStaleParts(const wchar_t* where, bool warn);
  // The same at the start of a frame, which draws with the old parts meanwhile.
  void remakeStalePartsForFrame();

  // Bitmaps.
  void getDefaultCaptionBitmap(IWICBitmapSourcePtr& target);
  void getIcon(ID2D1BitmapPtr& result, int height);
  void selectIcon(ID2D1BitmapPtr& result, int height);
  void getBrushBitmap(COLORREF color, ID2D1BitmapPtr& target);

  // Painting.
  void draw(HDC hdc, SIZE size, const STRUCT_DRAW_INFO* info);
  void getThemeProps(HTHEME hTheme);
  void paint(HDC hdc, SIZE size, int imeOpen, const wchar_t* label, int buttonWidth,
             IWICBitmapSourcePtr caption, const STRUCT_DRAW_INFO* info);

  // Background passes and font bridging.
  void getCaptionBitmap(ID2D1RenderTarget* captionTarget, UINT w, UINT h2, int imeOpen,
                        IWICBitmapSource* caption, ID2D1BitmapPtr& result);
  void drawBackgroundSliced(ID2D1BitmapRenderTarget* target, ID2D1Bitmap* bitmap, int cx, int cy,
                            int s);
  void drawBackgroundStretched(ID2D1BitmapRenderTarget* target, ID2D1Bitmap* bitmap, int cx, int cy,
                               UINT w, UINT h2);
  void getFontInfo(HFONT hFont, HDC hdc, IDWriteFontPtr& font, std::wstring& familyName,
                   float* sizeDip, float* sizePt);
  void drawBokasi(D2D1_POINT_2F center, float width, float height, float capWidth, float opacity);

  // Declared first, so that COM ends after everything made through it.
  std::unique_ptr<C_CoInitialize> m_pCoInit;
  HWND m_hWnd;
  ID2D1FactoryPtr m_pD2DFactory;
  IWICImagingFactoryPtr m_pWICFactory;
  IDWriteFactoryPtr m_pDWriteFactory;
  int m_effect;
  int m_spnVal;
  ID2D1BitmapPtr m_pIconBitmap;
  ID2D1BitmapPtr m_pIcon16;
  ID2D1BitmapPtr m_pIcon24;
  ID2D1BitmapPtr m_pIcon32;
  ID2D1BitmapPtr m_pIcon48;
  ID2D1DCRenderTargetPtr m_pRenderTarget;
  IWICBitmapSourcePtr m_pCaption;
  IWICBitmapSourcePtr m_pDefaultCaption;
  UINT m_captionWidth;
  UINT m_captionHeight;
  ID2D1BitmapPtr m_pBokasiBitmap;
  COLORREF m_fontColor;
  COLORREF m_bokasiColor;
  int m_bokasiOpacity;
  COLORREF m_imeColorOn;
  COLORREF m_imeColorOff;
  UniqueHFONT m_hFont;
  LOGFONTW m_logFont;
  HTHEME m_hLastTheme;
  float m_horizontalPos;
  int m_indShow;
  int m_iconShow;
  // Whether the last frame failed or was drawn with a part the settings no
  // longer want (its picture is not whole, and is drawn again).
  bool frameFailed() const { return m_frameFailure.failing() || m_fontStale || m_shadingStale; }

  // Counts the settings taken (set-up, every onUpdate): a frame of another
  // generation may look different from one of this.
  unsigned m_settingsGeneration;
  // Frames painted whole.
  unsigned m_framesPainted;
  // Test seam: the EndDraw of this many coming frames reports a lost device.
  int m_simulatedDeviceLosses;
  // The failure of the last frame (empty after a frame that drew), so that a
  // failure repeated on every frame is logged when it starts and when it ends.
  FailureLatch m_frameFailure;
  // Parts that still hold their object of earlier settings: made again by the
  // next frame.
  bool m_fontStale;
  bool m_shadingStale;
  // The failure in force of remakeStaleParts, logged when it starts.
  FailureLatch m_remakeFailure;
};
