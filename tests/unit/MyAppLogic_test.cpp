// The renderer's arithmetic: icon bands, colours, caption recolouring, pass
// rectangles, frame geometry and font sizes.
#include <gtest/gtest.h>

#include <vector>

#include "MyAppLogic.h"

using namespace myapp;

namespace {
void expectRect(const D2D1_RECT_F& r, float l, float t, float rt, float b) {
  EXPECT_FLOAT_EQ(r.left, l);
  EXPECT_FLOAT_EQ(r.top, t);
  EXPECT_FLOAT_EQ(r.right, rt);
  EXPECT_FLOAT_EQ(r.bottom, b);
}
}  // namespace

TEST(MyAppLogic, IconBandsFollowTheHalfHeight) {
  EXPECT_EQ(iconSizeForHeight(32), 16);
  EXPECT_EQ(iconSizeForHeight(47), 16);
  EXPECT_EQ(iconSizeForHeight(48), 24);
  EXPECT_EQ(iconSizeForHeight(63), 24);
  EXPECT_EQ(iconSizeForHeight(64), 32);
  EXPECT_EQ(iconSizeForHeight(95), 32);
  EXPECT_EQ(iconSizeForHeight(96), 48);
  EXPECT_EQ(iconSizeForHeight(0), 16);
  // -1 halves to 0 (toward zero); from -2 on the half is negative, which as an
  // unsigned number falls into the last band.
  EXPECT_EQ(iconSizeForHeight(-1), 16);
  EXPECT_EQ(iconSizeForHeight(-2), 48);
  EXPECT_EQ(iconSizeForHeight(-100), 48);
}

TEST(MyAppLogic, ColorRefBecomesDirect2DColour) {
  D2D1_COLOR_F red = colorFromRef(0x0000FF);
  EXPECT_FLOAT_EQ(red.r, 1.0f);
  EXPECT_FLOAT_EQ(red.g, 0.0f);
  EXPECT_FLOAT_EQ(red.b, 0.0f);
  EXPECT_FLOAT_EQ(red.a, 1.0f);
  D2D1_COLOR_F violet = colorFromRef(0xC080FF);
  EXPECT_FLOAT_EQ(violet.r, 1.0f);
  EXPECT_FLOAT_EQ(violet.g, 128 / 255.0f);
  EXPECT_FLOAT_EQ(violet.b, 192 / 255.0f);
  EXPECT_FLOAT_EQ(colorFromRef(0x123456, 0.5f).a, 0.5f);
}

TEST(MyAppLogic, GradientCountIsAtLeastOne) {
  EXPECT_EQ(gradientCount(12, 40), 4);
  EXPECT_EQ(gradientCount(29, 40), 11);
  EXPECT_EQ(gradientCount(12, 100), 12);
  EXPECT_EQ(gradientCount(12, 0), 1);
  EXPECT_EQ(gradientCount(2, 10), 1);
  EXPECT_EQ(gradientCount(12, -50), 1);
}

TEST(MyAppLogic, GradientCountOfAnyPitchTheFileHolds) {
  EXPECT_EQ(gradientCount(12, INT_MAX), (int)(12LL * INT_MAX / 100));
  EXPECT_EQ(gradientCount(300, INT_MAX), INT_MAX);
  EXPECT_EQ(gradientCount(12, INT_MIN), 1);
}

TEST(MyAppLogic, GradientBandsOfTheWorkedExample) {
  // 0xC080FF: red 255, green 128, blue 192; count 4 gives steps 0, 23 and 7.
  EXPECT_EQ(bandPixel(0xC080FF, 1, 4, 0), 0xFFDC80C0u);  // red limited to 220
  EXPECT_EQ(bandPixel(0xC080FF, 1, 4, 1), 0xFFDC97C7u);  // green 151, blue 199
  EXPECT_EQ(bandPixel(0xC080FF, 1, 4, 2), 0xFFDCAECEu);  // half-way to 220
  EXPECT_EQ(bandPixel(0xC080FF, 1, 4, 4), 0xFFDCDCDCu);
  EXPECT_EQ(bandPixel(0xC080FF, 1, 4, 9), 0xFFDCDCDCu);  // never past 220
}

TEST(MyAppLogic, GradientNeverWrapsAChannelAbove220) {
  for (UINT band = 0; band < 50; ++band) {
    const UINT32 p = bandPixel(RGB(255, 221, 250), 1, 3, band);
    EXPECT_EQ(p, 0xFFDCDCDCu) << "band " << band;
  }
  EXPECT_EQ(bandPixel(RGB(220, 0, 0), 1, 1, 7), 0xFFDCDCDCu);
}

TEST(MyAppLogic, GradientOffKeepsTheBaseColourInEveryBand) {
  for (UINT band = 0; band < 5; ++band) EXPECT_EQ(bandPixel(0xC080FF, 0, 4, band), 0xFFFF80C0u);
}

TEST(MyAppLogic, ZeroPitchGivesFullStepsEveryTwoRows) {
  EXPECT_EQ(bandPixel(RGB(10, 100, 200), 1, gradientCount(12, 0), 0), 0xFF0A64C8u);
  EXPECT_EQ(bandPixel(RGB(10, 100, 200), 1, gradientCount(12, 0), 1), 0xFFDCDCDCu);
}

TEST(MyAppLogic, EmptyAndDarkPixelsBecomeTheKey) {
  const UINT32 colour = 0xFF112233;
  EXPECT_EQ(recolourPixel(0x00000000, colour), KEY_PIXEL);
  EXPECT_EQ(recolourPixel(0x003E3E3E, colour), KEY_PIXEL);
  EXPECT_EQ(recolourPixel(0xFF3E3E3E, colour), KEY_PIXEL);  // alpha is not looked at
  EXPECT_EQ(recolourPixel(0x003F0000, colour), colour);     // one channel at 63
  EXPECT_EQ(recolourPixel(0x00003F00, colour), colour);
  EXPECT_EQ(recolourPixel(0x0000003F, colour), colour);
  EXPECT_EQ(recolourPixel(0xFFFFFFFF, colour), colour);
}

TEST(MyAppLogic, RecolourWalksRowsByTheStrideAndKeepsTheRest) {
  const UINT w = 3, h = 16, h2 = 12, stride = 16;  // one padding word per row
  std::vector<UINT32> buffer(h * stride / 4, 0xFF808080u);
  for (UINT y = 0; y < h; ++y) buffer[y * 4 + 3] = 0xABCDEF01u;  // padding
  buffer[0] = 0;                                                 // empty pixel
  buffer[4 + 1] = 0xFF101010u;                                   // dark pixel
  const UINT rows = recolourCaption(reinterpret_cast<BYTE*>(buffer.data()),
                                    (UINT)(buffer.size() * 4), stride, w, h2, 0xC080FF, 1, 40);
  EXPECT_EQ(rows, h2);
  EXPECT_EQ(buffer[0], KEY_PIXEL);
  EXPECT_EQ(buffer[5], KEY_PIXEL);
  // count 4: rows 0-4 band 0, rows 5-9 band 1, rows 10-11 band 2
  EXPECT_EQ(buffer[4 * 4 + 0], 0xFFDC80C0u);
  EXPECT_EQ(buffer[5 * 4 + 2], 0xFFDC97C7u);
  EXPECT_EQ(buffer[9 * 4 + 0], 0xFFDC97C7u);
  EXPECT_EQ(buffer[10 * 4 + 1], 0xFFDCAECEu);
  for (UINT y = 0; y < h; ++y) EXPECT_EQ(buffer[y * 4 + 3], 0xABCDEF01u) << "row " << y;
  for (UINT y = h2; y < h; ++y) EXPECT_EQ(buffer[y * 4], 0xFF808080u) << "row " << y;
}

TEST(MyAppLogic, RecolourStopsAtTheEndOfTheBuffer) {
  std::vector<UINT32> buffer(20, 0xFF808080u);
  // 4 pixels a row, but the buffer claims room for 2.5 rows only
  const UINT rows =
      recolourCaption(reinterpret_cast<BYTE*>(buffer.data()), 40, 16, 4, 5, 0x00FF00, 0, 40);
  EXPECT_EQ(rows, 2u);
  EXPECT_EQ(buffer[7], 0xFF00FF00u);
  EXPECT_EQ(buffer[8], 0xFF808080u);
  EXPECT_EQ(recolourCaption(reinterpret_cast<BYTE*>(buffer.data()), 80, 8, 4, 5, 0, 0, 40), 0u)
      << "a stride shorter than a row is refused";
}

TEST(MyAppLogic, SlicedPassesKeepTheEndsAndStretchTheMiddle) {
  auto p = slicedPasses(100, 25, 22);
  expectRect(p[0].src, 0, 0, 22, 25);
  expectRect(p[0].dst, 0, 0, 22, 25);
  expectRect(p[1].src, 22, 0, 44, 25);
  expectRect(p[1].dst, 22, 0, 78, 25);
  expectRect(p[2].src, 44, 0, 66, 25);
  expectRect(p[2].dst, 78, 0, 100, 25);
  // narrower than two slices: the middle destination is turned round
  auto narrow = slicedPasses(30, 20, 22);
  EXPECT_LT(narrow[1].dst.right, narrow[1].dst.left);
  // a width of 65 gives slices of 21: column 63 and 64 are left out
  EXPECT_FLOAT_EQ(slicedPasses(200, 20, 65 / 3)[2].src.right, 63.0f);
}

TEST(MyAppLogic, StretchedPassDropsATwoPixelBorder) {
  BitmapPass p = stretchedPass(250, 50, 66, 29);
  expectRect(p.src, 2, 2, 64, 27);
  expectRect(p.dst, 0, 0, 250, 50);
}

TEST(MyAppLogic, SlicedBackgroundOnlyForANormalTargetInFloatMode) {
  EXPECT_TRUE(useSlicedBackground(0, 2));
  EXPECT_TRUE(useSlicedBackground(0, 1));
  EXPECT_FALSE(useSlicedBackground(0, 0));
  EXPECT_FALSE(useSlicedBackground(1, 2));
  EXPECT_TRUE(useSlicedBackground(7, 2));  // any mode but fixed floats
}

TEST(MyAppLogic, ShadingPassesAreRoundedUp) {
  auto p = bokasiPasses({50.5f, 12.5f}, 16, 14, 12);
  expectRect(p[0].src, 0, 0, 12, 24);
  expectRect(p[0].dst, 31, 6, 43, 20);
  expectRect(p[1].src, 24, 0, 36, 24);
  expectRect(p[1].dst, 59, 6, 71, 20);
  expectRect(p[2].src, 12, 0, 24, 24);
  expectRect(p[2].dst, 43, 6, 59, 20);
  // an empty label still gets its two caps around the centre
  auto empty = bokasiPasses({40, 10}, 0, 10, 12);
  expectRect(empty[0].dst, 28, 5, 40, 15);
  expectRect(empty[1].dst, 40, 5, 52, 15);
  EXPECT_FLOAT_EQ(empty[2].dst.right - empty[2].dst.left, 0.0f);
}

TEST(MyAppLogic, FloatGeometryOfOneCharacter) {
  // 300 x 25, buttons 100, one character of 16 DIPs at 80 %
  FrameGeometry g = frameGeometry(0, 300, 25, 100, 1, 16, 80);
  EXPECT_FLOAT_EQ(g.textOrigin.x, (200 - 16) * 0.8f);
  EXPECT_FLOAT_EQ(g.textOrigin.y, 4.5f);
  const float iconX = 16 + (200 - 16) * 0.8f + 32;
  expectRect(g.iconRect, iconX, 2, iconX + 21, 23);
  EXPECT_FLOAT_EQ(g.iconRect.left - (g.textOrigin.x + 16), 32.0f);
  EXPECT_FLOAT_EQ(g.shadeCenter.x, g.textOrigin.x + 8);
  EXPECT_FLOAT_EQ(g.shadeCenter.y, 4.5f + 8);
  EXPECT_FLOAT_EQ(g.shadeWidth, 16);
  EXPECT_FLOAT_EQ(g.shadeHeight, 14);
}

TEST(MyAppLogic, FloatGeometryAtBothEnds) {
  EXPECT_FLOAT_EQ(frameGeometry(0, 300, 25, 100, 2, 16, 0).textOrigin.x, 0.0f);
  FrameGeometry right = frameGeometry(0, 300, 25, 100, 2, 16, 100);
  EXPECT_FLOAT_EQ(right.textOrigin.x + 2 * 16, 200.0f);  // the box ends at cx - buttonWidth
}

TEST(MyAppLogic, FloatGeometryOfAnEmptyLabel) {
  FrameGeometry g = frameGeometry(0, 300, 25, 100, 0, 16, 50);
  EXPECT_FLOAT_EQ(g.textOrigin.x, (200 - 16) * 0.5f);  // T is one em
  EXPECT_FLOAT_EQ(g.shadeWidth, 0.0f);
  EXPECT_FLOAT_EQ(g.iconRect.left, 200 * 0.5f + 32);
}

TEST(MyAppLogic, FloatGeometryRaisesANegativeOriginToZero) {
  // 40 - 20 is narrower than the three-character label (48)
  FrameGeometry g = frameGeometry(0, 40, 25, 20, 3, 16, 50);
  EXPECT_FLOAT_EQ(g.textOrigin.x, 0.0f);
  EXPECT_FLOAT_EQ(g.iconRect.left, 48 + (20 - 48) * 0.5f + 32);  // its own formula
  EXPECT_FLOAT_EQ(frameGeometry(0, 10, 25, 200, 3, 16, 100).iconRect.left, 0.0f);
}

TEST(MyAppLogic, FloatGeometryWithAFontTallerThanTheIndicator) {
  FrameGeometry g = frameGeometry(0, 300, 20, 0, 1, 24, 80);
  EXPECT_FLOAT_EQ(g.textOrigin.y, 0.0f);
  EXPECT_FLOAT_EQ(g.shadeHeight, 18.0f);
  EXPECT_FLOAT_EQ(g.shadeCenter.y, 10.0f);
}

TEST(MyAppLogic, FixedGeometryTallPutsTheIconUnderTheLabel) {
  FrameGeometry g = frameGeometry(1, 100, 300, 0, 1, 16, 80);
  EXPECT_FLOAT_EQ(g.textOrigin.x, (100 - 16) / 2.0f);
  EXPECT_FLOAT_EQ(g.textOrigin.y, (300 - 60) / 2.0f);
  expectRect(g.iconRect, 38, 120 + 36, 62, 120 + 60);
  EXPECT_GT(g.iconRect.top, g.textOrigin.y + 16);
  EXPECT_FLOAT_EQ(g.shadeCenter.x, 50);
  EXPECT_FLOAT_EQ(g.shadeCenter.y, 128);
  EXPECT_FLOAT_EQ(g.shadeHeight, 20);
}

TEST(MyAppLogic, FixedGeometryWidePutsTheIconRightOfTheLabel) {
  FrameGeometry g = frameGeometry(1, 300, 100, 0, 2, 16, 80);
  EXPECT_FLOAT_EQ(g.textOrigin.x, (300 - (32 + 48)) / 2.0f);
  EXPECT_FLOAT_EQ(g.textOrigin.y, 42);
  expectRect(g.iconRect, (300 - 64) / 2.0f + 40, 38, (300 - 64) / 2.0f + 64, 62);
  EXPECT_GT(g.iconRect.left, g.textOrigin.x);
  EXPECT_FLOAT_EQ(g.shadeCenter.x, 126);
  EXPECT_FLOAT_EQ(g.shadeCenter.y, 50);
  EXPECT_FLOAT_EQ(g.shadeWidth, 32);
  // a square indicator counts as wide; nothing is clamped
  EXPECT_LT(frameGeometry(1, 20, 20, 0, 3, 16, 0).textOrigin.x, 0.0f);
}

TEST(MyAppLogic, FontSizesInDipsAndPoints) {
  float dip = 0, pt = 0;
  fontSizes(-MulDiv(12, 96, 72), 96, &dip, &pt);
  EXPECT_FLOAT_EQ(dip, 16);
  EXPECT_FLOAT_EQ(pt, 12);
  fontSizes(-MulDiv(12, 144, 72), 144, &dip, &pt);
  EXPECT_FLOAT_EQ(dip, 16);
  EXPECT_FLOAT_EQ(pt, 12);
  fontSizes(16, 96, &dip, &pt);
  EXPECT_FLOAT_EQ(dip, -16);
  EXPECT_FLOAT_EQ(pt, -12);
}

TEST(MyAppLogic, TextLiftIsFlooredFromTheDesignUnits) {
  EXPECT_FLOAT_EQ(textLift(1802, 1433, 12, 2048), 2.0f);  // 2.16
  EXPECT_FLOAT_EQ(textLift(880, 700, 12, 1000), 2.0f);    // 2.16
  EXPECT_FLOAT_EQ(textLift(1000, 700, 10, 1000), 3.0f);
  EXPECT_FLOAT_EQ(textLift(700, 880, 12, 1000), -3.0f);  // floored downwards
}

TEST(MyAppLogic, SetupErrorTextCarriesFileLineCallAndCode) {
  EXPECT_EQ(setupErrorText(L"C:\\src\\MyApp.cpp", 57, -1, L"CreateDCRenderTarget()"),
            L"環境異常 : ファイル名:C:\\src\\MyApp.cpp  行番号:57  \nCreateDCRenderTarget() "
            L"RESULT:0xFFFFFFFF");
  EXPECT_EQ(setupErrorText(L"a.cpp", 1, (int)E_FAIL, L"FindResource()"),
            L"環境異常 : ファイル名:a.cpp  行番号:1  \nFindResource() RESULT:0x80004005");
  EXPECT_EQ(setupErrorText(L"a.cpp", 1, 0x2A, L"X()"),
            L"環境異常 : ファイル名:a.cpp  行番号:1  \nX() RESULT:0x0000002A");
}

TEST(MyAppLogic, UsableLogFontHoldsTheHeightToWhatDrawsAndEndsTheFace) {
  LOGFONTW lf = {};
  lstrcpynW(lf.lfFaceName, L"メイリオ", LF_FACESIZE);
  const struct {
    LONG height, expected;
  } cases[] = {{0, -16},
               {-16, -16},
               {16, -16},
               {100000, -4096},
               {-100000, -4096},
               {2147483647, -4096},
               {(LONG)0x80000000, -4096},
               {-4096, -4096},
               {1, -1}};
  for (const auto& c : cases) {
    lf.lfHeight = c.height;
    const LOGFONTW usable = usableLogFont(lf, -16);
    EXPECT_EQ(usable.lfHeight, c.expected) << c.height;
    EXPECT_STREQ(usable.lfFaceName, L"メイリオ");
  }
  // a face name that fills the whole field comes out terminated
  for (int i = 0; i < LF_FACESIZE; ++i) lf.lfFaceName[i] = L'x';
  const LOGFONTW usable = usableLogFont(lf, -16);
  EXPECT_EQ(lstrlenW(usable.lfFaceName), LF_FACESIZE - 1);
}
