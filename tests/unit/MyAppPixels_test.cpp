// Frames of the renderer drawn into a real memory DC (C_HDCCompat) under the
// platform's Direct2D and DirectWrite, and their pixels read back.
#include "MyAppDetail.h"
#include "MyAppLogic.h"
#include "MyAppTestSupport.h"
#include "WindowTestSupport.h"

using mts::drawInfo;

namespace {
constexpr UINT32 ON_PIXEL = 0xFFFF80C0;   // default imeColorOn 0xC080FF, opaque
constexpr UINT32 OFF_PIXEL = 0xFF00FF40;  // default imeColorOff 0x40FF00, opaque

int channel(UINT32 p, int shift) { return (int)((p >> shift) & 0xFF); }
}  // namespace

class MyAppPixels : public mts::RendererFixture {
 protected:
  // Pixels of [left, right) x [top, bottom) that are not `colour`.
  static int countOther(const Frame& f, int left, int top, int right, int bottom, UINT32 colour) {
    int n = 0;
    for (int y = std::max(0, top); y < std::min<int>(bottom, f.size.cy); ++y)
      for (int x = std::max(0, left); x < std::min<int>(right, f.size.cx); ++x)
        if (f.at(x, y) != colour) ++n;
    return n;
  }
  static int countOther(const Frame& f, UINT32 colour) {
    return countOther(f, 0, 0, f.size.cx, f.size.cy, colour);
  }
  // The label font size in DIPs for this display.
  float labelSize() {
    CMyApp& app = renderer();
    C_HDC dc(m_hWnd);
    IDWriteFontPtr font;
    std::wstring name;
    float fs = 0, pt = 0;
    app.getFontInfo(app.m_hFont.get(), dc.m_hDC, font, name, &fs, &pt);
    return fs;
  }
};

TEST_F(MyAppPixels, FixedFrameWithoutLabelAndIconIsTheImeColourEverywhere) {
  g_pSettings->indShow = 0;
  g_pSettings->iconShow = 0;
  const SIZE size = {250, 50};
  Frame on = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  EXPECT_EQ(countOther(on, ON_PIXEL), 0) << std::hex << on.at(0, 0) << " " << on.at(125, 25);
  Frame off = drawFrame(size, drawInfo(0, L"A", DISP_FIXED, 2));
  EXPECT_EQ(countOther(off, OFF_PIXEL), 0) << std::hex << off.at(0, 0) << " " << off.at(125, 25);
  // a maximized target takes the same stretched background
  Frame maximized = drawFrame(SIZE{400, 24}, drawInfo(1, L"あ", DISP_FLOAT, 0));
  EXPECT_EQ(countOther(maximized, ON_PIXEL), 0);
}

TEST_F(MyAppPixels, SlicedCaptionKeysItsEmptyCornersAndColoursItsEnds) {
  g_pSettings->indShow = 0;
  g_pSettings->iconShow = 0;
  const SIZE size = {300, 25};
  Frame f = drawFrame(size, drawInfo(1, L"あ", DISP_FLOAT, 2));
  // the rounded corners of the built-in caption are empty
  EXPECT_EQ(f.at(0, 0), myapp::KEY_PIXEL);
  EXPECT_EQ(f.at(299, 0), myapp::KEY_PIXEL);
  EXPECT_EQ(f.at(1, 0), ON_PIXEL) << "half-covered edge pixels are bright enough to count";
  EXPECT_EQ(f.at(298, 0), ON_PIXEL);
  // the ends keep the caption's pixels, recoloured: rim, highlight and body alike
  for (int y : {0, 1, 5, 12, 24}) {
    EXPECT_EQ(f.at(10, y), ON_PIXEL) << "left end, row " << y;
    EXPECT_EQ(f.at(289, y), ON_PIXEL) << "right end, row " << y;
  }
  for (int y : {3, 12, 24}) {
    EXPECT_EQ(f.at(0, y), ON_PIXEL) << "left column below the corner, row " << y;
    EXPECT_EQ(f.at(150, y), ON_PIXEL) << "stretched middle, row " << y;
  }
  // the IME-off state recolours the same shape in its own colour
  Frame off = drawFrame(size, drawInfo(0, L"A", DISP_FLOAT, 2));
  EXPECT_EQ(off.at(0, 0), myapp::KEY_PIXEL);
  EXPECT_EQ(off.at(10, 12), OFF_PIXEL);
}

TEST_F(MyAppPixels, GradientBandsStepTowardsTheLimit) {
  g_pSettings->indShow = 0;
  g_pSettings->iconShow = 0;
  g_pSettings->effect = 1;
  g_pSettings->spnVal = 40;  // the caption's 29 rows give count 11: bands of 12 rows
  Frame f = drawFrame(SIZE{300, 29}, drawInfo(1, L"あ", DISP_FLOAT, 2));
  // red 255 stays at 220 in every band; green steps 8, blue 2
  EXPECT_EQ(f.at(10, 5), 0xFFDC80C0u);
  EXPECT_EQ(f.at(10, 11), 0xFFDC80C0u);
  EXPECT_EQ(f.at(10, 12), 0xFFDC88C2u);
  EXPECT_EQ(f.at(10, 23), 0xFFDC88C2u);
  EXPECT_EQ(f.at(10, 24), 0xFFDC90C4u);
  EXPECT_EQ(f.at(10, 28), 0xFFDC90C4u);
  EXPECT_EQ(f.at(0, 0), myapp::KEY_PIXEL);
  // with the gradient off the colour is the same in every band, red 255 included
  renderer().m_effect = 0;
  Frame flat = drawFrame(SIZE{300, 29}, drawInfo(1, L"あ", DISP_FLOAT, 2));
  EXPECT_EQ(flat.at(10, 5), ON_PIXEL);
  EXPECT_EQ(flat.at(10, 25), ON_PIXEL);
}

TEST_F(MyAppPixels, IconStandsAtItsPlace) {
  g_pSettings->indShow = 0;
  const float fs = labelSize();
  const SIZE size = {300, 100};
  const myapp::FrameGeometry g = myapp::frameGeometry(DISP_FIXED, 300, 100, 0, 1, fs, 80);
  const int l = (int)g.iconRect.left, t = (int)g.iconRect.top;
  const int r = (int)ceilf(g.iconRect.right), b = (int)ceilf(g.iconRect.bottom);
  Frame f = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  EXPECT_GT(countOther(f, l, t, r, b, ON_PIXEL), 24 * 24 / 3);
  EXPECT_EQ(countOther(f, 0, 0, l - 1, 100, ON_PIXEL), 0) << "nothing left of the icon";
  EXPECT_EQ(countOther(f, r + 1, 0, 300, 100, ON_PIXEL), 0) << "nothing right of the icon";
  EXPECT_EQ(countOther(f, l, 0, r, t - 1, ON_PIXEL), 0) << "nothing above the icon";

  renderer().m_iconShow = 0;
  Frame none = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  EXPECT_EQ(countOther(none, ON_PIXEL), 0);
}

TEST_F(MyAppPixels, ShadingDarkensByItsOpacity) {
  g_pSettings->iconShow = 0;
  g_pSettings->bokasiColor = 0x000000;
  const SIZE size = {300, 100};
  // a blank label: only the shading is drawn, centred at ((300 - 48) / 2, 50)
  auto redAtCentre = [&](int opacity) {
    renderer().m_bokasiOpacity = opacity;
    Frame f = drawFrame(size, drawInfo(1, L" ", DISP_FIXED, 2));
    EXPECT_EQ(f.at(10, 10), ON_PIXEL) << "outside the shading";
    return channel(f.at(126, 50), 16);
  };
  const int none = redAtCentre(0), light = redAtCentre(40), strong = redAtCentre(80);
  EXPECT_EQ(none, 255);
  const int dLight = 255 - light, dStrong = 255 - strong;
  EXPECT_NEAR(dStrong, 255 * 0.95 * 0.8, 25);
  EXPECT_NEAR(dLight, 255 * 0.95 * 0.4, 25);
  EXPECT_NEAR((double)dStrong / dLight, 2.0, 0.3);
}

TEST_F(MyAppPixels, LabelLightsPixelsInItsBoxWithAJapaneseFont) {
  g_pSettings->iconShow = 0;
  g_pSettings->bokasiOpacity = 0;
  const float fs = labelSize();
  ASSERT_GT(fs, 8.0f);
  const SIZE size = {300, 100};
  const myapp::FrameGeometry g = myapp::frameGeometry(DISP_FIXED, 300, 100, 0, 1, fs, 80);
  const int l = (int)g.textOrigin.x, t = (int)g.textOrigin.y;
  const int boxLeft = l - 2, boxTop = t - 8, boxRight = l + (int)fs + 2,
            boxBottom = t + (int)fs + 2;
  Frame f = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  const int lit = countOther(f, boxLeft, boxTop, boxRight, boxBottom, ON_PIXEL);
  EXPECT_GT(lit, 20);
  EXPECT_EQ(countOther(f, ON_PIXEL), lit) << "nothing outside the label box";
  // white text: the brightest pixel of the glyph is (nearly) white
  int brightest = 0;
  for (int y = boxTop; y < boxBottom; ++y)
    for (int x = boxLeft; x < boxRight; ++x)
      brightest = std::max(brightest, channel(f.at(x, y), 8));
  EXPECT_GT(brightest, 200) << "green is 0x80 in the background, 0xFF in white text";

  renderer().m_indShow = 0;
  Frame hidden = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  EXPECT_EQ(countOther(hidden, ON_PIXEL), 0);
}

TEST_F(MyAppPixels, DefaultFaceResolvesToAFontWithKana) {
  CMyApp& app = renderer();
  ASSERT_STREQ(app.m_logFont.lfFaceName, L"メイリオ");
  C_HDC dc(m_hWnd);
  IDWriteFontPtr font;
  std::wstring name;
  float fs = 0, pt = 0;
  app.getFontInfo(app.m_hFont.get(), dc.m_hDC, font, name, &fs, &pt);
  ASSERT_TRUE(font);
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name.find(L'\0'), std::wstring::npos) << "the name ends where the string ends";
  BOOL hasKana = FALSE;
  EXPECT_HRESULT_SUCCEEDED(font->HasCharacter(0x3042, &hasKana));  // あ
  EXPECT_TRUE(hasKana) << "family " << name.size();
  const int lpy = GetDeviceCaps(dc.m_hDC, LOGPIXELSY);
  EXPECT_FLOAT_EQ(fs, (float)-MulDiv(app.m_logFont.lfHeight, 96, lpy));
  EXPECT_FLOAT_EQ(pt, (float)-MulDiv(app.m_logFont.lfHeight, 72, lpy));
}

TEST_F(MyAppPixels, UnderlineAddsLitPixels) {
  g_pSettings->iconShow = 0;
  g_pSettings->bokasiOpacity = 0;
  const SIZE size = {300, 100};
  Frame plain = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  renderer().m_logFont.lfUnderline = 1;
  Frame underlined = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  EXPECT_GT(countOther(underlined, ON_PIXEL), countOther(plain, ON_PIXEL) + 5);
}

TEST_F(MyAppPixels, UnderlineCoversTheFirstCharacterOnly) {
  g_pSettings->iconShow = 0;
  g_pSettings->bokasiOpacity = 0;
  const float fs = labelSize();
  const SIZE size = {300, 100};
  Frame plain = drawFrame(size, drawInfo(1, L"AA", DISP_FIXED, 2));
  renderer().m_logFont.lfUnderline = 1;
  Frame underlined = drawFrame(size, drawInfo(1, L"AA", DISP_FIXED, 2));
  // the label box is 2 em wide and the text centred in it: the first character
  // ends at the box's middle
  const myapp::FrameGeometry g = myapp::frameGeometry(DISP_FIXED, 300, 100, 0, 2, fs, 80);
  const int middle = (int)(g.textOrigin.x + fs);
  int left = 0, right = 0;
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (plain.at(x, y) != underlined.at(x, y)) ++(x <= middle + 1 ? left : right);
  EXPECT_GT(left, 3);
  EXPECT_EQ(right, 0);
}

TEST_F(MyAppPixels, FrameAbandonedInsideItsDrawDoesNotBlockTheNext) {
  g_pSettings->iconShow = 0;
  g_pSettings->bokasiOpacity = 0;
  CMyApp& app = renderer();
  wts::LogCapture log(L"MyAppPixels_abandon.log");
  const SIZE size = {300, 100};
  Frame good = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  const int lit = countOther(good, ON_PIXEL);
  ASSERT_GT(lit, 20);

  ID2D1BitmapPtr shading = app.m_pBokasiBitmap;
  resetHolder(app.m_pBokasiBitmap);  // the shading pass now fails between BeginDraw and EndDraw
  Frame abandoned = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2));
  EXPECT_TRUE(log.contains(L"EXCEPTION paint() : _com_error"));
  // The draw was ended: what it drew before the failure reached the DC (a
  // target still inside its draw writes nothing to the DC and refuses the next
  // BeginDraw on Windows).
  EXPECT_EQ(abandoned.at(0, 0), ON_PIXEL);
  EXPECT_EQ(countOther(abandoned, ON_PIXEL), 0) << "no shading, no label";
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
      << "a COM error inside paint does not end the program";

  app.m_pBokasiBitmap = shading;
  Frame next;
  EXPECT_NO_THROW(next = drawFrame(size, drawInfo(1, L"あ", DISP_FIXED, 2)));
  ASSERT_TRUE(next.memoryDC);
  EXPECT_EQ(countOther(next, ON_PIXEL), lit) << "the next frame is whole again";
  EXPECT_EQ(next.at(0, 0), ON_PIXEL);
}

// A font DirectWrite cannot make reaches the caller on every frame, but is
// logged once when it starts and once when frames draw again.
TEST_F(MyAppPixels, UnknownFaceReportsCreateFontFromLogfontOnceWhileItLasts) {
  CMyApp& app = renderer();
  wts::LogCapture log(L"MyAppPixels_face.log");
  LOGFONTW lf = app.m_logFont;
  lstrcpynW(lf.lfFaceName, L"Corvela No Such Face", LF_FACESIZE);
  app.m_hFont.reset(CreateFontIndirectW(&lf));
  ASSERT_TRUE(app.m_hFont);
  for (int frame = 0; frame < 3; ++frame) {
    CMyException* thrown = nullptr;
    try {
      drawFrame(SIZE{300, 25}, drawInfo(1, L"あ", DISP_FLOAT, 2));
    } catch (CMyException* e) {
      thrown = e;
    }
    ASSERT_NE(thrown, nullptr) << frame;
    EXPECT_STREQ(thrown->m_callName, L"CreateFontFromLOGFONT()");
    EXPECT_EQ(thrown->m_line, 930);
    EXPECT_EQ(thrown->m_level, 3);
    EXPECT_TRUE(FAILED(thrown->m_code));
    EXPECT_EQ(fileNameOf(thrown->m_fileName), L"MyApp.cpp");
    delete thrown;
  }
  EXPECT_EQ(log.count(L"EXCEPTION paint() : CreateFontFromLOGFONT()"), 1u);
  EXPECT_EQ(log.count(L"frames drawn again"), 0u);
  // the known face draws again at once, and says so once
  app.m_hFont = app.makeLabelFont(app.m_logFont);
  EXPECT_NO_THROW(drawFrame(SIZE{300, 25}, drawInfo(1, L"あ", DISP_FLOAT, 2)));
  EXPECT_NO_THROW(drawFrame(SIZE{300, 25}, drawInfo(1, L"あ", DISP_FLOAT, 2)));
  EXPECT_EQ(log.count(L"frames drawn again"), 1u);
}

TEST_F(MyAppPixels, CaptionImageIsTakenPerThemeHandle) {
  CMyApp& app = renderer();
  drawFrame(SIZE{300, 25}, drawInfo(1, L"あ", DISP_FLOAT, 2));
  EXPECT_EQ(app.m_hLastTheme, nullptr);
  EXPECT_EQ((IWICBitmapSource*)app.m_pCaption, (IWICBitmapSource*)app.m_pDefaultCaption);
  EXPECT_EQ(app.m_captionWidth, 66u);
  EXPECT_EQ(app.m_captionHeight, 58u);

  // a handle whose caption bitmap cannot be had: the frame fails, and the
  // caption in use stays the one of the last handle taken
  STRUCT_DRAW_INFO themed = drawInfo(1, L"あ", DISP_FLOAT, 2);
  themed.hTheme = (HTHEME)(LONG_PTR)0x5A5A;
  CMyException* thrown = nullptr;
  try {
    drawFrame(SIZE{300, 25}, themed);
  } catch (CMyException* e) {
    thrown = e;
  }
  ASSERT_NE(thrown, nullptr);
  delete thrown;
  EXPECT_EQ(app.m_hLastTheme, nullptr);
  EXPECT_EQ((IWICBitmapSource*)app.m_pCaption, (IWICBitmapSource*)app.m_pDefaultCaption);
  Frame again = drawFrame(SIZE{300, 25}, drawInfo(1, L"あ", DISP_FLOAT, 2));
  EXPECT_EQ(again.at(0, 0), myapp::KEY_PIXEL);
}

TEST_F(MyAppPixels, IconOfTheFrameFollowsTheIndicatorHeight) {
  CMyApp& app = renderer();
  drawFrame(SIZE{300, 25}, drawInfo(1, L"あ", DISP_FLOAT, 2));
  EXPECT_EQ((ID2D1Bitmap*)app.m_pIconBitmap, (ID2D1Bitmap*)app.m_pIcon16);
  drawFrame(SIZE{300, 100}, drawInfo(1, L"あ", DISP_FIXED, 2));
  EXPECT_EQ((ID2D1Bitmap*)app.m_pIconBitmap, (ID2D1Bitmap*)app.m_pIcon48);
}
